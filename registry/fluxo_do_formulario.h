#pragma once

#include "data/record_set.h"

#include <QList>
#include <QObject>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace olvendra::registry {

// The record form's controls that the keyboard flow acts on, and all of them in tab order.
struct ControlesDoFormulario {
    QList<QWidget*> ordem; // tab order, the controls without a tab stop included
    QLineEdit* DBEditMedico = nullptr;
    QLineEdit* DBEdit1 = nullptr; // secretary's name
    QLineEdit* DBEditDataAniv = nullptr;
    QLineEdit* DBEdit2 = nullptr; // secretary's birthday
    QLineEdit* DBEditComissPerc = nullptr;
    QLineEdit* DBEdit4 = nullptr; // discount
    QLineEdit* DBEditEmail = nullptr;
    QLineEdit* DBEditEspecial = nullptr; // the specialty display
    QComboBox* DBComboBox1 = nullptr;    // council
    QComboBox* DBComboBox2 = nullptr;    // council state
    QComboBox* DBLookupComboBox1 = nullptr;
    QPlainTextEdit* DBEdit11 = nullptr; // notes memo
    // The lowest of the panels laid over the form: the grown memo covers the fields below it but
    // stays under every panel.
    QWidget* paineisSobreOFormulario = nullptr;
};

// The record form's keyboard flow. Enter moves to the next control that can take the focus
// (never backwards, wrapping); the key filters refuse characters with the default beep; the
// professional's name is normalised on Enter (with the option on) and on leaving the field; the
// council state is upper-cased and the e-mail lower-cased on leaving; the memo grows while it has
// the focus; the specialty display offers "Médico"; the specialty pick list is driven by the
// arrows only.
//
// A text put into a control while its record is only browsed is shown there and nothing more:
// it is not written to the record, so stored values change only through a store. While the
// record is in editing or inserting the text is written to its column at once.
class FluxoDoFormulario : public QObject {
public:
    FluxoDoFormulario(const ControlesDoFormulario& controles, data::RecordSet& medicos,
                      bool formataNome, QObject* pai);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget* controleDe(QObject* objeto) const;
    bool teclaPressionada(QWidget* controle, QKeyEvent* tecla);
    bool teclaNaListaAberta(QKeyEvent* tecla);
    // The fields whose key filter refuses the clipboard shortcuts: the names (with the option
    // on), the day/month fields and the percentages.
    bool filtrado(const QWidget* controle) const;
    // Refuses text that would come in without a key press: the context menu's paste, the middle
    // button's paste of the selection, a drop. True when the event is consumed.
    bool colaSemTeclado(QWidget* controle, QEvent* evento);
    void entrou(QWidget* controle);
    void saiu(QWidget* controle);
    // Focus to the next control after `controle` in tab order that is a tab stop, visible and
    // enabled.
    void avanca(QWidget* controle);
    void normalizaNome();
    // Shows `texto` in the control of `coluna`, writing it to the column while the record is in
    // editing or inserting.
    void poeTexto(QWidget* controle, const char* coluna, const std::string& textoWin1252);
    void passoNaEspecialidade(int passo);
    void escolheEspecialidade(int indice);

    ControlesDoFormulario c_;
    data::RecordSet& medicos_;
    bool formataNome_;
    // Something was typed into the day/month field that has the focus.
    bool diaMesDigitado_ = false;
};

} // namespace olvendra::registry
