#include "app/painel_pesquisa.h"

#include "app/fontes.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace olvendra::app {

namespace {

const QColor Marinho(0x00, 0x00, 0x80);

void Colore(QWidget* controle, QPalette::ColorRole papel, const QColor& cor) {
    QPalette cores = controle->palette();
    cores.setColor(papel, cor);
    controle->setPalette(cores);
}

QLabel* Rotulo(QWidget* pai, const char* nome, const char* textoUtf8, const QRect& caixa) {
    auto* rotulo = new QLabel(QString::fromUtf8(textoUtf8), pai);
    rotulo->setObjectName(QString::fromLatin1(nome));
    rotulo->setGeometry(caixa);
    rotulo->setFont(Fonte(Familia::Arial, 13, true));
    Colore(rotulo, QPalette::WindowText, Marinho);
    return rotulo;
}

QLineEdit* Campo(QWidget* pai, const char* nome, const QRect& caixa) {
    auto* campo = new QLineEdit(pai);
    campo->setObjectName(QString::fromLatin1(nome));
    campo->setGeometry(caixa);
    campo->setMaxLength(32767);
    return campo;
}

bool Enter(const QKeyEvent* tecla) {
    return tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
}

void Chama(const std::function<void()>& acao) {
    if (acao) {
        acao();
    }
}

} // namespace

PainelPesquisa::PainelPesquisa(QWidget* pai) : Painel(pai, "PainelPesqMed") {
    setGeometry(140, 90, 337, 175);
    defineTitulo(QStringLiteral("Pesquisa"), 26);
    Rotulo(this, "Label409", "Nome do Médico/Dentista/Veterinário...", {15, 44, 248, 16});
    EditPesqMed = Campo(this, "EditPesqMed", {15, 62, 306, 21});
    Rotulo(this, "Label10", "CRM/CRO/CRMV...", {15, 92, 114, 16});
    EditPesqCRM = Campo(this, "EditPesqCRM", {16, 112, 305, 21});
    BotLocalizaMed = new QPushButton(QStringLiteral("&Localizar"), this);
    BotLocalizaMed->setObjectName(QStringLiteral("BotLocalizaMed"));
    BotLocalizaMed->setGeometry(113, 143, 129, 25);
    BotLocalizaMed->setFont(Fonte(Familia::Arial, 13, true));
    BotLocalizaMed->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    BotLocalizaMed->setIconSize(QSize(16, 16));
    BotLocalizaMed->setAutoDefault(true);
    Colore(BotLocalizaMed, QPalette::ButtonText, Marinho);
    QWidget::setTabOrder(EditPesqMed, EditPesqCRM);
    QWidget::setTabOrder(EditPesqCRM, BotLocalizaMed);

    EditPesqMed->installEventFilter(this);
    EditPesqCRM->installEventFilter(this);
}

bool PainelPesquisa::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != EditPesqMed && objeto != EditPesqCRM) {
        return Painel::eventFilter(objeto, evento);
    }
    if (evento->type() == QEvent::FocusIn) {
        EditPesqMed->clear();
        EditPesqCRM->clear();
    } else if (evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (Enter(tecla)) {
            Chama(objeto == EditPesqMed ? aoPesquisarNome : aoPesquisarCRM);
            return true;
        }
        if (tecla->key() == Qt::Key_Escape) {
            Chama(aoFechar);
            return true;
        }
    }
    return Painel::eventFilter(objeto, evento);
}

} // namespace olvendra::app
