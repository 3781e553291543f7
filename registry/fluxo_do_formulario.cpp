#include "registry/fluxo_do_formulario.h"

#include "config/texto.h"
#include "registry/filtros_de_tecla.h"
#include "registry/formata_nome.h"
#include "registry/texto_qt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QValidator>

#include <memory>
#include <optional>

namespace olvendra::registry {

namespace {

constexpr int AlturaDoMemo = 24;
constexpr int AlturaDoMemoAberto = 120;
constexpr char Esc = 27;
constexpr const char* EspecialidadePadraoUtf8 = "Médico";

// Typed letters a-z become A-Z; every other character stays as typed.
class MaiusculasDigitadas : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& texto, int&) const override {
        for (QChar& letra : texto) {
            if (letra >= QLatin1Char('a') && letra <= QLatin1Char('z')) {
                letra = QChar(letra.unicode() - 'a' + 'A');
            }
        }
        return Acceptable;
    }
};

// A printable character, which the specialty pick list never takes.
bool Imprimivel(const QKeyEvent* tecla) {
    return !tecla->text().isEmpty() && tecla->text().front().isPrint();
}

bool Enter(const QKeyEvent* tecla) {
    return tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
}

// The character a key handler receives for this key, if any: Ctrl with a letter gives its
// control character, and the paste, copy and cut shortcuts count as Ctrl+V, Ctrl+C and Ctrl+X
// however they were typed.
std::optional<char> Caractere(const QKeyEvent* tecla) {
    if (tecla->matches(QKeySequence::Paste)) {
        return 'V' - '@';
    }
    if (tecla->matches(QKeySequence::Copy)) {
        return 'C' - '@';
    }
    if (tecla->matches(QKeySequence::Cut)) {
        return 'X' - '@';
    }
    const int codigo = tecla->key();
    if ((tecla->modifiers() & Qt::ControlModifier) && codigo >= Qt::Key_A && codigo <= Qt::Key_Z) {
        return static_cast<char>(codigo - Qt::Key_A + 1);
    }
    if (codigo == Qt::Key_Tab || codigo == Qt::Key_Backtab) {
        return std::nullopt; // moves the focus; never typed into a field
    }
    if (codigo == Qt::Key_Backspace) {
        return Backspace;
    }
    if (codigo == Qt::Key_Escape) {
        return Esc;
    }
    if (tecla->text().isEmpty()) {
        return std::nullopt;
    }
    const std::string texto = DeQt(tecla->text().left(1));
    return texto.empty() ? std::nullopt : std::optional<char>(texto.front());
}

QString TextoDe(QWidget* controle) {
    if (auto* edicao = qobject_cast<QLineEdit*>(controle)) {
        return edicao->text();
    }
    if (auto* lista = qobject_cast<QComboBox*>(controle)) {
        return lista->currentText();
    }
    return {};
}

// Shows the text without the control telling its binding: a browsed record is not written.
void Mostra(QWidget* controle, const QString& texto) {
    const QSignalBlocker bloqueio(controle);
    if (auto* edicao = qobject_cast<QLineEdit*>(controle)) {
        edicao->setText(texto);
    } else if (auto* lista = qobject_cast<QComboBox*>(controle)) {
        // With its entry current, leaving the list does not take the entry into the record.
        lista->setCurrentIndex(lista->findText(texto, Qt::MatchExactly | Qt::MatchCaseSensitive));
        lista->setEditText(texto);
    }
}

// Focus lost to a drop-down list of the control itself or to another window (a message box) is
// no leaving of the control.
bool SaidaReal(const QFocusEvent* foco) {
    return foco->reason() != Qt::PopupFocusReason && foco->reason() != Qt::ActiveWindowFocusReason;
}

} // namespace

FluxoDoFormulario::FluxoDoFormulario(const ControlesDoFormulario& controles,
                                     data::RecordSet& medicos, bool formataNome, QObject* pai)
    : QObject(pai), c_(controles), medicos_(medicos), formataNome_(formataNome) {
    const QString separador = QLocale().decimalPoint();
    if (separador.size() == 1 && separador.front().unicode() < 0x80) {
        medicos_.setDecimalSeparator(separador.front().toLatin1());
    }
    for (QWidget* controle : c_.ordem) {
        controle->installEventFilter(this);
    }
    for (QComboBox* lista : {c_.DBComboBox1, c_.DBComboBox2}) {
        lista->setValidator(new MaiusculasDigitadas(lista));
    }
    c_.DBLookupComboBox1->view()->installEventFilter(this);
}

QWidget* FluxoDoFormulario::controleDe(QObject* objeto) const {
    if (objeto == c_.DBLookupComboBox1->view()) {
        return nullptr;
    }
    auto* controle = qobject_cast<QWidget*>(objeto);
    return c_.ordem.contains(controle) ? controle : nullptr;
}

bool FluxoDoFormulario::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == c_.DBLookupComboBox1->view() && evento->type() == QEvent::KeyPress) {
        return teclaNaListaAberta(static_cast<QKeyEvent*>(evento));
    }
    QWidget* controle = controleDe(objeto);
    if (controle == nullptr) {
        return false;
    }
    if (filtrado(controle) && colaSemTeclado(controle, evento)) {
        return true;
    }
    switch (evento->type()) {
    case QEvent::KeyPress:
        return teclaPressionada(controle, static_cast<QKeyEvent*>(evento));
    case QEvent::FocusIn:
        entrou(controle);
        break;
    case QEvent::FocusOut:
        if (SaidaReal(static_cast<QFocusEvent*>(evento))) {
            saiu(controle);
        }
        break;
    default:
        break;
    }
    return false;
}

bool FluxoDoFormulario::teclaPressionada(QWidget* controle, QKeyEvent* tecla) {
    if (controle == c_.DBLookupComboBox1) {
        const bool alt = tecla->modifiers() & Qt::AltModifier;
        if (Enter(tecla)) {
            avanca(controle);
        } else if ((tecla->key() == Qt::Key_Up || tecla->key() == Qt::Key_Down) && !alt) {
            passoNaEspecialidade(tecla->key() == Qt::Key_Up ? -1 : 1);
        } else if ((tecla->key() == Qt::Key_Up || tecla->key() == Qt::Key_Down) && alt) {
            c_.DBLookupComboBox1->showPopup();
        } else if (tecla->key() == Qt::Key_Home || tecla->key() == Qt::Key_End ||
                   tecla->key() == Qt::Key_PageUp || tecla->key() == Qt::Key_PageDown) {
            // Only Up and Down step through the specialties, a key column of the record.
        } else if (!Imprimivel(tecla)) {
            return false;
        }
        // Typing never searches the list.
        return true;
    }
    if (Enter(tecla)) {
        const bool ehCampoDoNome = controle == c_.DBEditMedico || controle == c_.DBEdit1 ||
                                   controle == c_.DBEditDataAniv || controle == c_.DBEdit2;
        if (formataNome_ && ehCampoDoNome) {
            normalizaNome();
        }
        avanca(controle);
        return true;
    }
    const std::optional<char> caractere = Caractere(tecla);
    if (!caractere) {
        return false;
    }
    const bool ehDiaMes = controle == c_.DBEditDataAniv || controle == c_.DBEdit2;
    if (*caractere == Esc) {
        // A typed-in day/month field keeps Esc for itself; elsewhere it presses the window's
        // cancel button.
        if (!ehDiaMes || !diaMesDigitado_) {
            return false;
        }
        QApplication::beep();
        return true;
    }
    bool aceito = true;
    if (formataNome_ && (controle == c_.DBEditMedico || controle == c_.DBEdit1)) {
        aceito = AceitaNoNome(*caractere);
    } else if (ehDiaMes) {
        aceito = AceitaNoDiaMes(*caractere);
    } else if (controle == c_.DBEditComissPerc || controle == c_.DBEdit4) {
        aceito = AceitaNoPercentual(*caractere, QLocale().decimalPoint().front().toLatin1());
    }
    if (!aceito) {
        QApplication::beep();
    }
    diaMesDigitado_ = diaMesDigitado_ || (ehDiaMes && aceito);
    return !aceito;
}

bool FluxoDoFormulario::teclaNaListaAberta(QKeyEvent* tecla) {
    QComboBox* lista = c_.DBLookupComboBox1;
    const bool alt = tecla->modifiers() & Qt::AltModifier;
    if (Enter(tecla)) {
        // The list closes without taking the highlighted entry.
        lista->hidePopup();
        avanca(lista);
        return true;
    }
    if ((tecla->key() == Qt::Key_Up || tecla->key() == Qt::Key_Down) && alt) {
        const int escolhida = lista->view()->currentIndex().row();
        lista->hidePopup();
        if (escolhida >= 0) {
            escolheEspecialidade(escolhida);
        }
        return true;
    }
    return Imprimivel(tecla);
}

bool FluxoDoFormulario::filtrado(const QWidget* controle) const {
    const bool nome = controle == c_.DBEditMedico || controle == c_.DBEdit1;
    return (formataNome_ && nome) || controle == c_.DBEditDataAniv || controle == c_.DBEdit2 ||
           controle == c_.DBEditComissPerc || controle == c_.DBEdit4;
}

bool FluxoDoFormulario::colaSemTeclado(QWidget* controle, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::ContextMenu: {
        // The field's own menu, without its paste.
        auto* edicao = qobject_cast<QLineEdit*>(controle);
        if (edicao == nullptr) {
            return false;
        }
        const std::unique_ptr<QMenu> menu(edicao->createStandardContextMenu());
        const QString colar = QCoreApplication::translate("QLineEdit", "&Paste");
        for (QAction* acao : menu->actions()) {
            if (acao->objectName() == QLatin1String("edit-paste") ||
                acao->text().startsWith(colar)) {
                acao->setEnabled(false);
            }
        }
        menu->exec(static_cast<QContextMenuEvent*>(evento)->globalPos());
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The middle button pastes the selection.
        if (static_cast<QMouseEvent*>(evento)->button() != Qt::MiddleButton) {
            return false;
        }
        if (evento->type() == QEvent::MouseButtonRelease) {
            QApplication::beep();
        }
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        static_cast<QDropEvent*>(evento)->ignore();
        return true;
    default:
        return false;
    }
}

void FluxoDoFormulario::entrou(QWidget* controle) {
    diaMesDigitado_ = false;
    if (controle == c_.DBEdit11) {
        c_.DBEdit11->resize(c_.DBEdit11->width(), AlturaDoMemoAberto);
        if (c_.paineisSobreOFormulario != nullptr) {
            c_.DBEdit11->stackUnder(c_.paineisSobreOFormulario);
        } else {
            c_.DBEdit11->raise();
        }
    } else if (controle == c_.DBEditEspecial && c_.DBEditEspecial->text().isEmpty()) {
        poeTexto(controle, "ESPECIALIDADE", Utf8ParaWin1252(EspecialidadePadraoUtf8));
    }
}

void FluxoDoFormulario::saiu(QWidget* controle) {
    if (controle == c_.DBEditMedico) {
        normalizaNome();
    } else if (controle == c_.DBComboBox2) {
        poeTexto(controle, "UFCONSELHO", MaiusculasAZ(DeQt(TextoDe(controle))));
    } else if (controle == c_.DBEditEmail) {
        poeTexto(controle, "E_MAIL", MinusculasAZ(DeQt(TextoDe(controle))));
    } else if (controle == c_.DBEdit11) {
        c_.DBEdit11->resize(c_.DBEdit11->width(), AlturaDoMemo);
    } else if (controle == c_.DBEditEspecial && c_.DBEditEspecial->text().isEmpty()) {
        poeTexto(controle, "ESPECIALIDADE", Utf8ParaWin1252(EspecialidadePadraoUtf8));
    }
}

void FluxoDoFormulario::avanca(QWidget* controle) {
    const qsizetype atual = c_.ordem.indexOf(controle);
    const qsizetype total = c_.ordem.size();
    for (qsizetype passo = 1; passo <= total; ++passo) {
        QWidget* proximo = c_.ordem[(atual + passo) % total];
        if ((proximo->focusPolicy() & Qt::TabFocus) && proximo->isVisible() &&
            proximo->isEnabled()) {
            proximo->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void FluxoDoFormulario::normalizaNome() {
    const std::string nome = DeQt(c_.DBEditMedico->text());
    if (!nome.empty()) {
        poeTexto(c_.DBEditMedico, "NOME", FormataNome(nome));
    }
}

void FluxoDoFormulario::poeTexto(QWidget* controle, const char* coluna,
                                 const std::string& textoWin1252) {
    if (DeQt(TextoDe(controle)) == textoWin1252) {
        return;
    }
    const auto estado = medicos_.state();
    if (estado == data::RecordSetState::Editing || estado == data::RecordSetState::Inserting) {
        // The bound control shows the column's new value.
        medicos_.setFieldText(coluna, textoWin1252);
    } else {
        Mostra(controle, ParaQt(textoWin1252));
    }
}

void FluxoDoFormulario::passoNaEspecialidade(int passo) {
    const int total = c_.DBLookupComboBox1->count();
    if (total == 0) {
        return;
    }
    const int atual = c_.DBLookupComboBox1->currentIndex();
    const int nova = atual < 0 ? 0 : std::clamp(atual + passo, 0, total - 1);
    if (nova != atual) {
        escolheEspecialidade(nova);
    }
}

void FluxoDoFormulario::escolheEspecialidade(int indice) {
    if (medicos_.active()) {
        medicos_.setFieldText("ESPECIALIDADE", DeQt(c_.DBLookupComboBox1->itemText(indice)));
    }
}

} // namespace olvendra::registry
