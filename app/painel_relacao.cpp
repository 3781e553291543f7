#include "app/painel_relacao.h"

#include "app/fontes.h"
#include "app/grade_dados.h"

#include <algorithm>

#include <QLabel>
#include <QPushButton>

namespace olvendra::app {

namespace {

const QColor Marinho(0x00, 0x00, 0x80);
const QColor Grena(0x80, 0x00, 0x00);

void Colore(QWidget* controle, QPalette::ColorRole papel, const QColor& cor) {
    QPalette cores = controle->palette();
    cores.setColor(papel, cor);
    controle->setPalette(cores);
}

QPushButton* BotaoDeTecla(QWidget* pai, const char* nome, const char* legenda, int esquerda) {
    auto* botao = new QPushButton(QString::fromLatin1(legenda), pai);
    botao->setObjectName(QString::fromLatin1(nome));
    botao->setGeometry(esquerda, 403, 51, 22);
    botao->setFont(Fonte(Familia::TimesNewRoman, 13, true));
    botao->setAutoDefault(true);
    Colore(botao, QPalette::ButtonText, Grena);
    return botao;
}

} // namespace

PainelRelacao::PainelRelacao(QWidget* pai, data::RecordSet& medicos)
    : Painel(pai, "PainelPesqMedicos") {
    setGeometry(84, 75, 514, 447);
    defineTitulo(QString::fromUtf8("Relação de Profissionais"), 24);
    GradePesqMed = new DBGrid(this, medicos, {{"NOME", "NOME", 266}, {"CRM", "CRM", 0}}, false);
    GradePesqMed->setObjectName(QStringLiteral("GradePesqMed"));
    GradePesqMed->setFont(Fonte(Familia::MsSansSerif, 16));
    GradePesqMed->setGeometry(54, 42, 401, 351);

    auto* dica = new QLabel(QStringLiteral("Tecle") + QString(21, QLatin1Char(' ')) +
                                QStringLiteral("para confirmar ou") +
                                QString(22, QLatin1Char(' ')) + QStringLiteral("para cancelar"),
                            this);
    dica->setObjectName(QStringLiteral("Label405"));
    dica->setGeometry(77, 406, 351, 16);
    dica->setFont(Fonte(Familia::MsSansSerif, 13));
    Colore(dica, QPalette::WindowText, Marinho);
    // The platform's nearest font may be wider than the suite's: the whole text stays visible.
    dica->resize(std::max(dica->width(), dica->sizeHint().width()),
                 std::max(dica->height(), dica->sizeHint().height()));

    BotEnterPesqMed = BotaoDeTecla(this, "BotEnterPesqMed", "Enter", 119);
    BotEscPesqMedi = BotaoDeTecla(this, "BotEscPesqMedi", "Esc", 287);
    QWidget::setTabOrder(BotEnterPesqMed, GradePesqMed);
    QWidget::setTabOrder(GradePesqMed, BotEscPesqMedi);
}

} // namespace olvendra::app
