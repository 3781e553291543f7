#include "app/painel_tabela.h"

#include "app/fontes.h"
#include "app/grade_dados.h"

#include <QHeaderView>
#include <QPushButton>
#include <QStyle>

namespace olvendra::app {

PainelTabela::PainelTabela(QWidget* pai, data::RecordSet& medicos)
    : Painel(pai, "PainelTabelaMed") {
    setGeometry(6, 61, 778, 460);
    defineTitulo(QString::fromUtf8("Tabela de Profissionais de Saúde"), 27);

    BitBtn1 = new QPushButton(QStringLiteral("&Sair"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(655, 37, 115, 26);
    BitBtn1->setFont(Fonte(Familia::Arial, 13, true));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    BitBtn1->setIconSize(QSize(16, 16));
    // The arrow sits to the right of the caption.
    BitBtn1->setLayoutDirection(Qt::RightToLeft);
    BitBtn1->setFocusPolicy(Qt::ClickFocus);
    QPalette cores = BitBtn1->palette();
    cores.setColor(QPalette::ButtonText, Qt::red);
    BitBtn1->setPalette(cores);

    TabelaMedicos = new DBGrid(this, medicos,
                               {{"CRM", " Reg.Prof.", 0},
                                {"NOME", "Nome", 215},
                                {"ESPECIALIDADE", "Especialidade", 110},
                                {"TELEFONES", "Telefone", 120},
                                {"CONSELHOPROFISSIONAL", "Conselho", 50},
                                {"UFCONSELHO", "UF Cons.", 50},
                                {"CIDADE", "Cidade", 120}},
                               true);
    TabelaMedicos->setObjectName(QStringLiteral("TabelaMedicos"));
    TabelaMedicos->setFont(Fonte(Familia::Arial, 13));
    TabelaMedicos->horizontalHeader()->setFont(Fonte(Familia::MsSansSerif, 11));
    TabelaMedicos->setGeometry(4, 71, 768, 381);
}

} // namespace olvendra::app
