#pragma once

#include "app/vinculo.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

// The record panel's data-bound controls, each showing one column of the current row.
namespace olvendra::app {

class DBEdit : public QLineEdit {
public:
    DBEdit(QWidget* pai, data::RecordSet& conjunto, const char* coluna);

private:
    Vinculo vinculo_;
};

// Shows a text in an editable list, with its entry current when it is one of them.
void MostraTexto(QComboBox& lista, const QString& texto);

// An editable drop-down list over fixed entries; the user may also type another text.
class DBComboBox : public QComboBox {
public:
    DBComboBox(QWidget* pai, data::RecordSet& conjunto, const char* coluna,
               const QStringList& itens);

protected:
    void focusOutEvent(QFocusEvent* evento) override;

private:
    Vinculo vinculo_;
    bool saindo_ = false;
};

class DBMemo : public QPlainTextEdit {
public:
    DBMemo(QWidget* pai, data::RecordSet& conjunto, const char* coluna);

private:
    Vinculo vinculo_;
    bool mostrando_ = false;
};

class DBText : public QLabel {
public:
    DBText(QWidget* pai, data::RecordSet& conjunto, const char* coluna);

private:
    Vinculo vinculo_;
};

// A pick list of the values of a column of another record set (the specialties); picking an
// entry writes its text into the bound column, and the list shows the bound value when it is one
// of its entries.
class DBLookupComboBox : public QComboBox {
public:
    DBLookupComboBox(QWidget* pai, data::RecordSet& conjunto, const char* coluna,
                     data::RecordSet& lista, const char* colunaDaLista);

private:
    void recarregaLista();
    void mostra(const std::string& valor);

    Vinculo vinculo_;
    Vinculo vinculoDaLista_;
    const char* colunaDaLista_;
};

} // namespace olvendra::app
