#include "app/painel_login.h"

#include "app/fontes.h"
#include "config/texto.h"
#include "registry/texto_qt.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

#include <algorithm>
#include <array>

namespace olvendra::app {

namespace {

// Password characters are drawn as "#", as in the suite's other modules.
class EstiloDaSenha : public QProxyStyle {
public:
    int styleHint(StyleHint dica, const QStyleOption* opcao, const QWidget* controle,
                  QStyleHintReturn* retorno) const override {
        if (dica == SH_LineEdit_PasswordCharacter) {
            return '#';
        }
        return QProxyStyle::styleHint(dica, opcao, controle, retorno);
    }
};

bool EhEnter(const QEvent* evento) {
    if (evento->type() != QEvent::KeyPress) {
        return false;
    }
    const int tecla = static_cast<const QKeyEvent*>(evento)->key();
    return tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
}

void Colore(QWidget* controle, const QColor& cor) {
    QPalette cores = controle->palette();
    cores.setColor(QPalette::ButtonText, cor);
    cores.setColor(QPalette::WindowText, cor);
    controle->setPalette(cores);
}

QLineEdit* Campo(QWidget* pai, const char* nome, const QRect& caixa, const QFont& fonte) {
    auto* campo = new QLineEdit(pai);
    campo->setObjectName(QString::fromLatin1(nome));
    campo->setGeometry(caixa);
    campo->setFont(fonte);
    campo->setMaxLength(32767);
    return campo;
}

QPushButton* Botao(QWidget* pai, const char* nome, const QString& legenda, const QRect& caixa,
                   const QFont& fonte, const QColor& cor) {
    auto* botao = new QPushButton(legenda, pai);
    botao->setObjectName(QString::fromLatin1(nome));
    botao->setGeometry(caixa);
    botao->setFont(fonte);
    botao->setAutoDefault(true);
    Colore(botao, cor);
    return botao;
}

} // namespace

PainelLogin::PainelLogin(QWidget* pai) : Painel(pai, "PainelLogin") {
    setGeometry(152, 109, 331, 130);
    defineTitulo(QStringLiteral("Identificação do Usuário"));
    const QFont negrito13 = Fonte(Familia::Arial, 13, true);

    auto* moldura = new QFrame(this);
    moldura->setObjectName(QStringLiteral("Bevel10"));
    moldura->setGeometry(8, 33, 234, 89);
    moldura->setFrameStyle(QFrame::Box | QFrame::Sunken);

    auto* rotuloNome = new QLabel(QStringLiteral("Nome"), this);
    rotuloNome->setFont(negrito13);
    rotuloNome->move(21, 51);
    rotuloNome->adjustSize();
    auto* rotuloSenha = new QLabel(QStringLiteral("Senha"), this);
    rotuloSenha->setFont(negrito13);
    rotuloSenha->move(18, 82);
    rotuloSenha->adjustSize();

    EditNome = Campo(this, "EditNome", {63, 48, 166, 24}, negrito13);
    EditSenhaU = Campo(this, "EditSenhaU", {63, 80, 73, 24}, negrito13);
    auto* estilo = new EstiloDaSenha;
    estilo->setParent(EditSenhaU);
    EditSenhaU->setStyle(estilo);
    EditSenhaU->setEchoMode(QLineEdit::Password);

    BotOkSenha = Botao(this, "BotOkSenha", QStringLiteral("OK"), {250, 44, 69, 25}, negrito13,
                       QColor(0x00, 0x00, 0x80));
    BotCancSenha = Botao(this, "BotCancSenha", QStringLiteral("Cancela"), {250, 76, 69, 25},
                         Fonte(Familia::Arial, 11, true), Qt::red);
    QWidget::setTabOrder(EditNome, EditSenhaU);
    QWidget::setTabOrder(EditSenhaU, BotOkSenha);
    QWidget::setTabOrder(BotOkSenha, BotCancSenha);

    EditNome->installEventFilter(this);
    EditSenhaU->installEventFilter(this);
    connect(BotOkSenha, &QPushButton::clicked, this, [this] {
        if (aoValidar) {
            aoValidar();
        }
    });
}

bool PainelLogin::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == EditNome && EhEnter(evento)) {
        // Moves on exactly as Tab does, to the next control that can take the focus.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(EditNome, &tab);
        return true;
    }
    if (objeto == EditSenhaU && EhEnter(evento)) {
        if (aoValidar) {
            aoValidar();
        }
        return true;
    }
    if (objeto == EditNome && evento->type() == QEvent::FocusOut) {
        // Leaving the field, not the window: a message box taking the focus is no exit.
        const auto razao = static_cast<QFocusEvent*>(evento)->reason();
        if (razao != Qt::ActiveWindowFocusReason && razao != Qt::PopupFocusReason) {
            EditNomeExit();
        }
    }
    return Painel::eventFilter(objeto, evento);
}

bool PainelLogin::focusNextPrevChild(bool proximo) {
    const std::array<QWidget*, 4> ciclo = {EditNome, EditSenhaU, BotOkSenha, BotCancSenha};
    const auto atual = std::find(ciclo.begin(), ciclo.end(), focusWidget());
    const int total = static_cast<int>(ciclo.size());
    int indice =
        atual == ciclo.end() ? (proximo ? total - 1 : 0) : static_cast<int>(atual - ciclo.begin());
    for (int passo = 0; passo < total; ++passo) {
        indice = (indice + (proximo ? 1 : total - 1)) % total;
        QWidget* candidato = ciclo[static_cast<std::size_t>(indice)];
        if (candidato->isVisible() && candidato->isEnabled()) {
            candidato->setFocus(proximo ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

void PainelLogin::EditNomeExit() {
    EditNome->setText(ParaQt(MaiusculasAZ(DeQt(EditNome->text()))));
}

} // namespace olvendra::app
