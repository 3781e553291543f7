#include "app/painel_medicos.h"

#include "app/controles_dados.h"
#include "app/fontes.h"
#include "app/navegador.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>

#include <array>
#include <variant>

namespace olvendra::app {

namespace {

const QColor Marinho(0x00, 0x00, 0x80);
const QColor Grena(0x80, 0x00, 0x00);
const QColor Cinza(0x80, 0x80, 0x80);
const QColor Prata(0xC0, 0xC0, 0xC0);

enum class Tipo { Edicao, Conselho, Estado, Especialidade, Exibicao, Memo, DiaMes };

constexpr int SemLimite = 0;

// Wide enough for the glyph, narrow enough for the gaps between the controls it marks.
constexpr QSize TamanhoDoAsterisco(9, 12);

// The panel's member that holds a field's control, of the control's own class.
using Controle = std::variant<DBEdit * PainelMedicos::*, DBComboBox * PainelMedicos::*,
                              DBLookupComboBox * PainelMedicos::*, DBMemo * PainelMedicos::*>;

// A row names only what departs from the usual: a right-aligned label, no character limit of
// its own, a tab stop, one of the controls the enable-state operations switch.
struct Campo {
    const char* rotulo = nullptr; // nullptr: the field has no label of its own
    const char* legenda = "";
    QRect caixaDoRotulo{};
    bool legendaAEsquerda = false;
    const char* nome;
    Controle controle;
    Tipo tipo;
    const char* coluna;
    QRect caixa;
    int maximo = SemLimite;
    int tabulacao;
    bool paradaDeTab = true; // false: Tab and Enter pass it by; it takes the focus by a click
    bool grupoA = true;
};

// Tab positions 20 to 23 belong to the navigator and the three buttons.
const std::array<Campo, 20> Campos = {{
    {.rotulo = "LabelCRM",
     .legenda = "Nº Registro",
     .caixaDoRotulo = {95, 85, 122, 19},
     .nome = "DBEditCRM",
     .controle = &PainelMedicos::DBEditCRM,
     .tipo = Tipo::Edicao,
     .coluna = "CRM",
     .caixa = {222, 82, 81, 24},
     .maximo = 10,
     .tabulacao = 0,
     .paradaDeTab = false},
    {.rotulo = "Label11",
     .legenda = "Conselho",
     .caixaDoRotulo = {315, 85, 63, 19},
     .legendaAEsquerda = true,
     .nome = "DBComboBox1",
     .controle = &PainelMedicos::DBComboBox1,
     .tipo = Tipo::Conselho,
     .coluna = "CONSELHOPROFISSIONAL",
     .caixa = {374, 82, 89, 24},
     .tabulacao = 1,
     .grupoA = false},
    // Right-aligned: its box starts where its text does, clear of the council's asterisk.
    {.rotulo = "Label12",
     .legenda = "UF",
     .caixaDoRotulo = {474, 85, 19, 19},
     .nome = "DBComboBox2",
     .controle = &PainelMedicos::DBComboBox2,
     .tipo = Tipo::Estado,
     .coluna = "UFCONSELHO",
     .caixa = {498, 82, 49, 24},
     .tabulacao = 2,
     .grupoA = false},
    {.rotulo = "LabelMedico",
     .legenda = "Nome do Profissional",
     .caixaDoRotulo = {72, 113, 145, 19},
     .nome = "DBEditMedico",
     .controle = &PainelMedicos::DBEditMedico,
     .tipo = Tipo::Edicao,
     .coluna = "NOME",
     .caixa = {222, 110, 325, 24},
     .maximo = 55,
     .tabulacao = 3},
    {.rotulo = "Label332",
     .legenda = "Especialidade",
     .caixaDoRotulo = {103, 142, 114, 19},
     .nome = "DBLookupComboBox1",
     .controle = &PainelMedicos::DBLookupComboBox1,
     .tipo = Tipo::Especialidade,
     .coluna = "ESPECIALIDADE",
     .caixa = {222, 140, 326, 24},
     .tabulacao = 4,
     .grupoA = false},
    {.nome = "DBEditEspecial",
     .controle = &PainelMedicos::DBEditEspecial,
     .tipo = Tipo::Exibicao,
     .coluna = "ESPECIALIDADE",
     .caixa = {560, 145, 212, 22},
     .maximo = 30,
     .tabulacao = 8,
     .paradaDeTab = false},
    {.rotulo = "LabelMedFones",
     .legenda = "Telefones",
     .caixaDoRotulo = {103, 171, 114, 19},
     .nome = "DBEditMedFone",
     .controle = &PainelMedicos::DBEditMedFone,
     .tipo = Tipo::Edicao,
     .coluna = "TELEFONES",
     .caixa = {222, 168, 325, 24},
     .maximo = 30,
     .tabulacao = 5},
    {.rotulo = "Label190",
     .legenda = "Endereço",
     .caixaDoRotulo = {103, 199, 114, 19},
     .nome = "DBEditMedEnd",
     .controle = &PainelMedicos::DBEditMedEnd,
     .tipo = Tipo::Edicao,
     .coluna = "ENDERECO",
     .caixa = {222, 196, 325, 24},
     .maximo = 60,
     .tabulacao = 6},
    {.rotulo = "LabelMedBairro",
     .legenda = "Bairro",
     .caixaDoRotulo = {103, 228, 114, 19},
     .nome = "DBEditMedCompl",
     .controle = &PainelMedicos::DBEditMedCompl,
     .tipo = Tipo::Edicao,
     .coluna = "COMPLEMENTO",
     .caixa = {222, 225, 325, 24},
     .maximo = 30,
     .tabulacao = 7},
    {.rotulo = "Label192",
     .legenda = "Cidade",
     .caixaDoRotulo = {100, 257, 117, 19},
     .nome = "DBEditMedCid",
     .controle = &PainelMedicos::DBEditMedCid,
     .tipo = Tipo::Edicao,
     .coluna = "CIDADE",
     .caixa = {222, 254, 212, 24},
     .maximo = 30,
     .tabulacao = 9},
    {.rotulo = "Label193",
     .legenda = "Estado",
     .caixaDoRotulo = {436, 259, 49, 19},
     .nome = "DBEditMedEst",
     .controle = &PainelMedicos::DBEditMedEst,
     .tipo = Tipo::Estado,
     .coluna = "ESTADO",
     .caixa = {491, 256, 57, 24},
     .tabulacao = 10},
    {.rotulo = "Label2",
     .legenda = "Observação",
     .caixaDoRotulo = {131, 286, 86, 19},
     .nome = "DBEdit11",
     .controle = &PainelMedicos::DBEdit11,
     .tipo = Tipo::Memo,
     .coluna = "OBSERVACAO",
     .caixa = {222, 283, 325, 24},
     .tabulacao = 11},
    {.rotulo = "LabelMedCEP",
     .legenda = "CEP",
     .caixaDoRotulo = {171, 314, 46, 19},
     .nome = "DBEditMedCEP",
     .controle = &PainelMedicos::DBEditMedCEP,
     .tipo = Tipo::Edicao,
     .coluna = "CEP",
     .caixa = {222, 311, 113, 24},
     .maximo = 10,
     .tabulacao = 12},
    {.rotulo = "Label1",
     .legenda = "Data Aniversário",
     .caixaDoRotulo = {92, 343, 125, 19},
     .nome = "DBEditDataAniv",
     .controle = &PainelMedicos::DBEditDataAniv,
     .tipo = Tipo::DiaMes,
     .coluna = "DATAANIVERSARIO",
     .caixa = {222, 340, 78, 24},
     .tabulacao = 13},
    {.rotulo = "Label333",
     .legenda = "Comissão %",
     .caixaDoRotulo = {103, 372, 114, 19},
     .nome = "DBEditComissPerc",
     .controle = &PainelMedicos::DBEditComissPerc,
     .tipo = Tipo::Edicao,
     .coluna = "COMISSPERC",
     .caixa = {222, 369, 92, 24},
     .maximo = 2,
     .tabulacao = 14},
    {.rotulo = "Label13",
     .legenda = "Desconto %",
     .caixaDoRotulo = {103, 400, 114, 19},
     .nome = "DBEdit4",
     .controle = &PainelMedicos::DBEdit4,
     .tipo = Tipo::Edicao,
     .coluna = "COMISSAO",
     .caixa = {222, 397, 92, 24},
     .maximo = 2,
     .tabulacao = 15,
     .grupoA = false},
    {.rotulo = "Label3",
     .legenda = "E-mail",
     .caixaDoRotulo = {171, 428, 46, 19},
     .nome = "DBEditEmail",
     .controle = &PainelMedicos::DBEditEmail,
     .tipo = Tipo::Edicao,
     .coluna = "E_MAIL",
     .caixa = {222, 425, 325, 24},
     .maximo = 60,
     .tabulacao = 16},
    {.rotulo = "Label4",
     .legenda = "Secretária",
     .caixaDoRotulo = {103, 457, 114, 19},
     .nome = "DBEdit1",
     .controle = &PainelMedicos::DBEdit1,
     .tipo = Tipo::Edicao,
     .coluna = "NOME_SECRETARIA",
     .caixa = {222, 454, 325, 24},
     .maximo = 30,
     .tabulacao = 17},
    {.rotulo = "Label5",
     .legenda = "Data Aniv. Secretária",
     .caixaDoRotulo = {66, 486, 151, 19},
     .nome = "DBEdit2",
     .controle = &PainelMedicos::DBEdit2,
     .tipo = Tipo::DiaMes,
     .coluna = "ANIV_SECRETARIA",
     .caixa = {222, 483, 78, 24},
     .tabulacao = 18},
    {.rotulo = "Label7",
     .legenda = "Representante",
     .caixaDoRotulo = {115, 515, 102, 19},
     .nome = "DBEdit3",
     .controle = &PainelMedicos::DBEdit3,
     .tipo = Tipo::Edicao,
     .coluna = "REPRESENTANTE",
     .caixa = {222, 512, 220, 24},
     .maximo = 40,
     .tabulacao = 19,
     .grupoA = false},
}};

const QStringList Conselhos = {"CRM",   "CRMV",    "CRO", "CRN",   "CRF",
                               "COREN", "CREFITO", "RMS", "OUTROS"};
const QStringList Estados = {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO",
                             "MA", "MG", "MS", "MT", "PA", "PB", "PE", "PI", "PR",
                             "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};

void Colore(QWidget* controle, QPalette::ColorRole papel, const QColor& cor) {
    QPalette cores = controle->palette();
    cores.setColor(papel, cor);
    controle->setPalette(cores);
}

QLabel* Legenda(QWidget* pai, const char* nome, const QString& texto, const QRect& caixa,
                const QFont& fonte, const QColor& cor, Qt::Alignment alinhamento) {
    auto* legenda = new QLabel(texto, pai);
    legenda->setObjectName(QString::fromLatin1(nome));
    legenda->setGeometry(caixa);
    legenda->setFont(fonte);
    legenda->setAlignment(alinhamento | Qt::AlignTop);
    Colore(legenda, QPalette::WindowText, cor);
    return legenda;
}

// Each control in the class its panel member names, set up as its field's kind asks.
void Cria(DBEdit*& edicao, QWidget* pai, const Campo& campo, data::RecordSet& medicos,
          data::RecordSet&) {
    edicao = new DBEdit(pai, medicos, campo.coluna);
    edicao->setFont(Fonte(Familia::MsSansSerif, 13));
    switch (campo.tipo) {
    case Tipo::DiaMes:
        edicao->setInputMask(QStringLiteral("00/00;_"));
        break;
    case Tipo::Exibicao:
        edicao->setReadOnly(true);
        edicao->setFrame(false);
        edicao->setMaxLength(campo.maximo);
        Colore(edicao, QPalette::Base, Qt::transparent);
        Colore(edicao, QPalette::Text, Prata);
        break;
    default:
        if (campo.maximo != SemLimite) {
            edicao->setMaxLength(campo.maximo);
        }
        break;
    }
}

void Cria(DBComboBox*& lista, QWidget* pai, const Campo& campo, data::RecordSet& medicos,
          data::RecordSet&) {
    lista = new DBComboBox(pai, medicos, campo.coluna,
                           campo.tipo == Tipo::Conselho ? Conselhos : Estados);
    lista->setFont(Fonte(Familia::MsSansSerif, 13));
}

void Cria(DBLookupComboBox*& lista, QWidget* pai, const Campo& campo, data::RecordSet& medicos,
          data::RecordSet& espec) {
    lista = new DBLookupComboBox(pai, medicos, campo.coluna, espec, "ESPECIALIDADE");
    lista->setFont(Fonte(Familia::MsSansSerif, 13));
}

void Cria(DBMemo*& memo, QWidget* pai, const Campo& campo, data::RecordSet& medicos,
          data::RecordSet&) {
    memo = new DBMemo(pai, medicos, campo.coluna);
    memo->setTabChangesFocus(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFont(Fonte(Familia::Arial, 13, true));
    Colore(memo, QPalette::Base, Qt::white);
    Colore(memo, QPalette::Text, Grena);
}

QPushButton* BotaoGrande(QWidget* pai, const char* nome, const QString& legenda, const QColor& cor,
                         QStyle::StandardPixmap figura, const QRect& caixa) {
    auto* botao = new QPushButton(legenda, pai);
    botao->setObjectName(QString::fromLatin1(nome));
    botao->setGeometry(caixa);
    botao->setFont(Fonte(Familia::Arial, 15, true));
    botao->setIcon(QApplication::style()->standardIcon(figura));
    botao->setIconSize(QSize(16, 16));
    botao->setAutoDefault(true);
    Colore(botao, QPalette::ButtonText, cor);
    return botao;
}

} // namespace

PainelMedicos::PainelMedicos(QWidget* pai, data::RecordSet& medicos, data::RecordSet& espec)
    : Painel(pai, "PainelMedicos") {
    ordem_.resize(24);
    criaBotoes();
    auto* navegador = new DBNavigator(this, medicos);
    navegador->setObjectName(QStringLiteral("DBNavigator7"));
    navegador->setGeometry(6, 5, 300, 50);
    navegador->setFocusPolicy(Qt::ClickFocus);
    DBNavigator7 = navegador;
    ordem_[20] = navegador;
    criaCampos(medicos, espec);
    criaLegendas();
    auto* cadastradoPor = new DBText(this, medicos, "ATENDENTE");
    cadastradoPor->setObjectName(QStringLiteral("DBText1"));
    cadastradoPor->setGeometry(84, 59, 93, 17);
    cadastradoPor->setFont(Fonte(Familia::ArialNarrow, 11));
    Colore(cadastradoPor, QPalette::WindowText, Cinza);
    defineOrdemDeTabulacao();
}

void PainelMedicos::criaBotoes() {
    BotPesqMed = BotaoGrande(this, "BotPesqMed", QStringLiteral("&Pesquisar"), Grena,
                             QStyle::SP_FileDialogContentsView, {311, 5, 155, 50});
    BotTabelaMed = BotaoGrande(this, "BotTabelaMed", QStringLiteral("&Tabela"), Marinho,
                               QStyle::SP_FileDialogDetailedView, {471, 5, 155, 50});
    BotSairMedicos = BotaoGrande(this, "BotSairMedicos", QStringLiteral("&Sair"), Qt::red,
                                 QStyle::SP_ArrowRight, {631, 5, 155, 50});
    // The exit arrow sits to the right of its caption.
    BotSairMedicos->setLayoutDirection(Qt::RightToLeft);
    botoesA_ = {BotSairMedicos, BotTabelaMed, BotPesqMed};
    ordem_[21] = BotSairMedicos;
    ordem_[22] = BotTabelaMed;
    ordem_[23] = BotPesqMed;
    for (QWidget* botao : botoesA_) {
        botao->setFocusPolicy(Qt::ClickFocus);
    }
}

void PainelMedicos::criaCampos(data::RecordSet& medicos, data::RecordSet& espec) {
    const QFont fonteDasLegendas = Fonte(Familia::Arial, 13);
    for (const Campo& campo : Campos) {
        if (campo.rotulo != nullptr) {
            Legenda(this, campo.rotulo, QString::fromUtf8(campo.legenda), campo.caixaDoRotulo,
                    fonteDasLegendas, Marinho,
                    campo.legendaAEsquerda ? Qt::AlignLeft : Qt::AlignRight);
        }
        QWidget* controle = std::visit(
            [&](auto membro) -> QWidget* {
                Cria(this->*membro, this, campo, medicos, espec);
                return this->*membro;
            },
            campo.controle);
        controle->setObjectName(QString::fromLatin1(campo.nome));
        controle->setGeometry(campo.caixa);
        controle->setFocusPolicy(campo.paradaDeTab ? Qt::StrongFocus : Qt::ClickFocus);
        ordem_[campo.tabulacao] = controle;
        if (campo.grupoA) {
            camposA_.append(controle);
        }
    }
}

void PainelMedicos::criaLegendas() {
    Legenda(this, "Label6", QStringLiteral("Cadastrado por"), {5, 59, 78, 19},
            Fonte(Familia::ArialNarrow, 11), Cinza, Qt::AlignLeft);
    // A little wider than 36, which the substitute serif font overruns by a pixel.
    const QFont fonteDasDicas = Fonte(Familia::TimesNewRoman, 13);
    Legenda(this, "Label9", QStringLiteral("dd/mm"), {305, 346, 40, 15}, fonteDasDicas, Cinza,
            Qt::AlignLeft);
    Legenda(this, "Label8", QStringLiteral("dd/mm"), {305, 488, 40, 15}, fonteDasDicas, Cinza,
            Qt::AlignLeft);
    // Red asterisks beside the five mandatory fields, each just right of its control, where
    // neither the control's text nor its drop-down arrow lies.
    const QFont fonteDosAsteriscos = Fonte(Familia::Arial, 19);
    const std::array<std::pair<const char*, QPoint>, 5> asteriscos = {{
        {"Label14", {304, 85}},
        {"Label15", {464, 85}},
        {"Label16", {548, 85}},
        {"Label17", {548, 118}},
        {"Label18", {549, 143}},
    }};
    for (const auto& [nome, canto] : asteriscos) {
        Legenda(this, nome, QStringLiteral("*"), QRect(canto, TamanhoDoAsterisco),
                fonteDosAsteriscos, Qt::red, Qt::AlignLeft);
    }
}

registry::ControlesDoFormulario PainelMedicos::controles() const {
    return {.ordem = ordem_.mid(0, 20),
            .DBEditMedico = DBEditMedico,
            .DBEdit1 = DBEdit1,
            .DBEditDataAniv = DBEditDataAniv,
            .DBEdit2 = DBEdit2,
            .DBEditComissPerc = DBEditComissPerc,
            .DBEdit4 = DBEdit4,
            .DBEditEmail = DBEditEmail,
            .DBEditEspecial = DBEditEspecial,
            .DBComboBox1 = DBComboBox1,
            .DBComboBox2 = DBComboBox2,
            .DBLookupComboBox1 = DBLookupComboBox1,
            .DBEdit11 = DBEdit11};
}

void PainelMedicos::defineOrdemDeTabulacao() {
    for (qsizetype i = 1; i < ordem_.size(); ++i) {
        QWidget::setTabOrder(ordem_[i - 1], ordem_[i]);
    }
}

void PainelMedicos::habilita(const QList<QWidget*>& controles, bool habilitado) {
    for (QWidget* controle : controles) {
        controle->setEnabled(habilitado);
    }
}

void PainelMedicos::DesabilitaCampos() {
    DBNavigator7->setEnabled(false);
    habilita(camposA_, false);
}

void PainelMedicos::HabilitaBotoesCampos() {
    habilita(botoesA_, true);
    habilita(camposA_, true);
}

void PainelMedicos::DesabilitaBotoesCampos() {
    habilita(botoesA_, false);
    habilita(camposA_, false);
}

} // namespace olvendra::app
