#include "app/controles_dados.h"

#include "registry/texto_qt.h"

#include <QSignalBlocker>

namespace olvendra::app {

namespace {

// A one-line field never holds a line break: one that comes in (pasted, dropped) becomes a blank,
// shown so and stored so.
QString NumaLinha(QLineEdit& campo, const QString& texto) {
    if (!texto.contains(QLatin1Char('\r')) && !texto.contains(QLatin1Char('\n'))) {
        return texto;
    }
    QString umaLinha = texto;
    umaLinha.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    const int cursor = campo.cursorPosition();
    const QSignalBlocker bloqueio(campo);
    campo.setText(umaLinha);
    campo.setCursorPosition(cursor);
    return umaLinha;
}

} // namespace

void MostraTexto(QComboBox& lista, const QString& texto) {
    lista.setCurrentIndex(lista.findText(texto, Qt::MatchExactly | Qt::MatchCaseSensitive));
    lista.setEditText(texto);
}

DBEdit::DBEdit(QWidget* pai, data::RecordSet& conjunto, const char* coluna)
    : QLineEdit(pai), vinculo_(conjunto, coluna, [this](const std::string& valor) {
          const QSignalBlocker bloqueio(this);
          setText(ParaQt(valor));
      }) {
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& texto) { vinculo_.escreve(DeQt(NumaLinha(*this, texto))); });
}

DBComboBox::DBComboBox(QWidget* pai, data::RecordSet& conjunto, const char* coluna,
                       const QStringList& itens)
    : QComboBox(pai), vinculo_(conjunto, coluna, [this](const std::string& valor) {
          const QSignalBlocker bloqueio(this);
          MostraTexto(*this, ParaQt(valor));
      }) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems(itens);
    setCurrentIndex(-1);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& texto) {
        vinculo_.escreve(DeQt(NumaLinha(*lineEdit(), texto)));
    });
    connect(this, &QComboBox::activated, this, [this](int indice) {
        if (!saindo_) {
            vinculo_.escreve(DeQt(itemText(indice)));
        }
    });
}

void DBComboBox::focusOutEvent(QFocusEvent* evento) {
    // Leaving the list matches its text against the entries and "activates" the one found; what
    // was typed is already in the record, so only a pick by the user may write.
    saindo_ = true;
    QComboBox::focusOutEvent(evento);
    saindo_ = false;
}

DBMemo::DBMemo(QWidget* pai, data::RecordSet& conjunto, const char* coluna)
    : QPlainTextEdit(pai), vinculo_(conjunto, coluna, [this](const std::string& valor) {
          mostrando_ = true;
          setPlainText(ParaQt(valor));
          mostrando_ = false;
      }) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!mostrando_) {
            vinculo_.escreve(DeQt(toPlainText()));
        }
    });
}

DBText::DBText(QWidget* pai, data::RecordSet& conjunto, const char* coluna)
    : QLabel(pai),
      vinculo_(conjunto, coluna, [this](const std::string& valor) { setText(ParaQt(valor)); }) {}

DBLookupComboBox::DBLookupComboBox(QWidget* pai, data::RecordSet& conjunto, const char* coluna,
                                   data::RecordSet& lista, const char* colunaDaLista)
    : QComboBox(pai),
      vinculo_(conjunto, coluna, [this](const std::string& valor) { mostra(valor); }),
      vinculoDaLista_(lista, colunaDaLista, [this](const std::string&) { recarregaLista(); }),
      colunaDaLista_(colunaDaLista) {
    connect(this, &QComboBox::activated, this,
            [this](int indice) { vinculo_.escreve(DeQt(itemText(indice))); });
}

void DBLookupComboBox::recarregaLista() {
    const QSignalBlocker bloqueio(this);
    clear();
    data::RecordSet& lista = vinculoDaLista_.conjunto();
    if (lista.active()) {
        const int coluna = lista.columnIndex(colunaDaLista_);
        for (std::size_t linha = 0; linha < lista.rowCount(); ++linha) {
            addItem(ParaQt(lista.textAt(linha, coluna)));
        }
    }
    vinculo_.recarrega();
}

void DBLookupComboBox::mostra(const std::string& valor) {
    const QSignalBlocker bloqueio(this);
    setCurrentIndex(findText(ParaQt(valor), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

} // namespace olvendra::app
