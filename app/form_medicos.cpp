#include "app/form_medicos.h"

#include "app/aviso.h"
#include "app/cor_fundo.h"
#include "app/encerramento_por_sinal.h"
#include "app/fontes.h"
#include "app/grade_dados.h"
#include "app/guarda_do_teclado.h"
#include "app/navegador.h"
#include "app/painel_login.h"
#include "app/painel_medicos.h"
#include "app/painel_pesquisa.h"
#include "app/painel_relacao.h"
#include "app/painel_tabela.h"
#include "config/caminhos.h"
#include "config/erro_inesperado.h"
#include "config/texto.h"
#include "login/nome_usuario_sistema.h"
#include "login/valida_usuario.h"
#include "registry/fluxo_do_formulario.h"
#include "registry/texto_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <exception>
#include <system_error>

namespace olvendra::app {

namespace {

constexpr const char* TituloInicial = " QIR SISTEMAS  -  Cadastro de Profissionais de Saúde";
constexpr const char* ColunasDeMedicos =
    "CRM, ESPECIALIDADE, NOME, ENDERECO, COMPLEMENTO, CEP, CIDADE, ESTADO, TELEFONES, "
    "QDEFORMULAS, VALORTOTAL, COMISSPERC, COMISSAO, DATAANIVERSARIO, OBSERVACAO, E_MAIL, "
    "NOME_SECRETARIA, ANIV_SECRETARIA, ATENDENTE, REPRESENTANTE, CONSELHOPROFISSIONAL, "
    "UFCONSELHO";
constexpr const char* MarcaDeUso = "Em_Uso.txt";

constexpr const char* OpcaoLigada = "Sim";

// The inner panels keep the button face whatever colour the record panel is given.
void MantemCorDeBotao(QWidget* painel) {
    QPalette cores = painel->palette();
    cores.setColor(QPalette::Window, cores.color(QPalette::Button));
    painel->setPalette(cores);
}

} // namespace

TFormMedicos::TFormMedicos() {
    setObjectName(QStringLiteral("FormMedicos"));
    setWindowTitle(QString::fromUtf8(TituloInicial));
    setFont(Fonte(Familia::MsSansSerif, 11));
    QPalette cores = palette();
    cores.setColor(QPalette::Window, cores.color(QPalette::Button));
    setPalette(cores);
    setAutoFillBackground(true);
}

TFormMedicos::~TFormMedicos() {
    // The keyboard flow watches the controls: it goes before them.
    delete fluxo_;
}

bool TFormMedicos::FormCreate(const std::filesystem::path& diretorioDoPrograma) {
    resize(Largura, Altura);
    centraNaTela();
    if (LeConfiguracao(diretorioDoPrograma, configuracao_) == ResultadoLeitura::ArquivoAusente) {
        Aviso(nullptr, QString::fromUtf8(MensagemIniAusenteUtf8.data(),
                                         static_cast<qsizetype>(MensagemIniAusenteUtf8.size())));
        return false;
    }
    return true;
}

void TFormMedicos::usaDM(data::TDM& dm) {
    dm_ = &dm;
    PainelMedicos_ = new PainelMedicos(this, dm.MEDICOS, dm.Espec);
    PainelMedicos_->setGeometry(rect());
    PainelPesqMed_ = new PainelPesquisa(PainelMedicos_);
    PainelPesqMedicos_ = new PainelRelacao(PainelMedicos_, dm.MEDICOS);
    PainelTabelaMed_ = new PainelTabela(PainelMedicos_, dm.MEDICOS);
    PainelLogin_ = new PainelLogin(PainelMedicos_);
    for (QWidget* painel :
         {static_cast<QWidget*>(PainelPesqMed_), static_cast<QWidget*>(PainelPesqMedicos_),
          static_cast<QWidget*>(PainelTabelaMed_), static_cast<QWidget*>(PainelLogin_)}) {
        MantemCorDeBotao(painel);
        painel->raise();
    }
    new GuardaDoTeclado(this, PainelLogin_, DBNavigator::Atalhos());
    encerramento_ = new EncerramentoPorSinal([this] { encerraPorSinal(); }, this);

    PainelLogin_->aoValidar = [this] { BotOkSenhaClick(); };
    connect(PainelLogin_->BotCancSenha, &QPushButton::clicked, this,
            [this] { BotCancSenhaClick(); });

    regras_ = std::make_unique<registry::RegrasDoCadastro>(dm.MEDICOS, *this, sessao_.UsuarioLogin);
    registry::ControlesDoFormulario controles = PainelMedicos_->controles();
    controles.paineisSobreOFormulario = PainelPesqMed_;
    fluxo_ = new registry::FluxoDoFormulario(controles, dm.MEDICOS,
                                             configuracao_.FormataNomeCliente == OpcaoLigada, this);
    PainelMedicos_->DBNavigator7->gravaPendentes = [this] { return regras_->GravaPendentes(); };
    connect(PainelMedicos_->BotSairMedicos, &QPushButton::clicked, this,
            [this] { regras_->BotSairMedicosClick(); });
    connect(PainelMedicos_->BotTabelaMed, &QPushButton::clicked, this,
            [this] { BotTabelaMedClick(); });
    connect(PainelTabelaMed_->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    ligaPesquisa();
}

void TFormMedicos::ligaPesquisa() {
    pesquisa_ = std::make_unique<registry::Pesquisa>(dm_->MEDICOS, *this, CamposMedicos);
    auto* entrada = PainelPesqMed_;
    connect(PainelMedicos_->BotPesqMed, &QPushButton::clicked, this, [this] {
        // Searching re-reads the set, which would drop what is not in the database yet.
        if (regras_->GravaPendentes()) {
            pesquisa_->BotPesqMedClick();
        }
    });
    entrada->aoPesquisarNome = [this, entrada] {
        pesquisa_->PesquisaPorNome(DeQt(entrada->EditPesqMed->text()));
    };
    entrada->aoPesquisarCRM = [this, entrada] {
        pesquisa_->PesquisaPorCRM(DeQt(entrada->EditPesqCRM->text()));
    };
    entrada->aoFechar = [this] { pesquisa_->FechaPesquisa(); };
    connect(entrada->BotLocalizaMed, &QPushButton::clicked, this, [this, entrada] {
        pesquisa_->BotLocalizaMedClick(DeQt(entrada->EditPesqMed->text()),
                                       DeQt(entrada->EditPesqCRM->text()));
    });
    auto* relacao = PainelPesqMedicos_;
    relacao->GradePesqMed->aoEnter = [this] { pesquisa_->EscolheProfissional(); };
    relacao->GradePesqMed->aoEsc = [this] { pesquisa_->CancelaEscolha(); };
    connect(relacao->BotEnterPesqMed, &QPushButton::clicked, this,
            [this] { pesquisa_->EscolheProfissional(); });
    connect(relacao->BotEscPesqMedi, &QPushButton::clicked, this,
            [this] { pesquisa_->CancelaEscolha(); });
}

bool TFormMedicos::event(QEvent* evento) {
    const bool tratado = QWidget::event(evento);
    if (evento->type() == QEvent::Move || evento->type() == QEvent::Resize ||
        evento->type() == QEvent::Show) {
        ajustaAMoldura();
    }
    if (evento->type() == QEvent::WindowActivate && !ativada_ && dm_ != nullptr) {
        // Once per run: the program's own message boxes give the activation back later.
        ativada_ = true;
        FormActivate();
    }
    return tratado;
}

void TFormMedicos::FormActivate() {
    CamposMedicos = ColunasDeMedicos;
    regras_->SaindoDoCadastro = false;
    try {
        dm_->MEDICOS.open();
    } catch (...) {
        encerramento_->instala();
        // The panels stay hidden: the user can only close the window.
        TrataErroInesperado(std::current_exception());
        return;
    }
    encerramento_->instala();
    QPalette cores = PainelMedicos_->palette();
    cores.setColor(QPalette::Window, CorDoCodigo(configuracao_.CorFundo, palette()));
    PainelMedicos_->setPalette(cores);
    PainelMedicos_->setGeometry(rect());
    PainelMedicos_->show();
    PainelMedicos_->DesabilitaCampos();
    PainelMedicos_->DesabilitaBotoesCampos();

    sessao_.UsuarioAtual = CortaEm(login::NomeUsuarioSistema(), login::Sessao::LarguraUsuario);
    PainelLogin_->EditNome->setText(ParaQt(sessao_.UsuarioAtual));
    PainelLogin_->setGeometry(152, 109, 331, 130);
    PainelLogin_->show();
    PainelLogin_->EditSenhaU->setEnabled(true);
    PainelLogin_->EditSenhaU->setVisible(true);
    focaNome();
    defineBotaoCancelar(PainelLogin_->BotCancSenha);
    PainelMedicos_->DBNavigator7->setEnabled(false);
    PainelMedicos_->DBEditCRM->setEnabled(false);
}

void TFormMedicos::BotOkSenhaClick() {
    try {
        login::ValidaUsuario(*this, dm_->Usuarios, dm_->Estacoes, sessao_);
    } catch (...) {
        // The users could not be read: reported, and the panel stays up for another attempt.
        TrataErroInesperado(std::current_exception());
    }
}

void TFormMedicos::BotCancSenhaClick() {
    PainelLogin_->hide();
    close();
}

void TFormMedicos::encerraPorSinal() {
    // The boxes waiting for an answer go unanswered, and so do those the interrupted handlers
    // would still show.
    encerrando_ = true;
    for (int caixas = 0; caixas < 8 && QApplication::activeModalWidget() != nullptr; ++caixas) {
        QApplication::activeModalWidget()->close();
    }
    data::RecordSet& medicos = dm_->MEDICOS;
    if (medicos.active() && medicos.state() == data::RecordSetState::Browsing &&
        medicos.pendingChangeCount() > 0) {
        try {
            medicos.applyUpdates();
        } catch (...) {
            // The program ends all the same; what could not be written is lost with it.
        }
    }
    close();
}

void TFormMedicos::BotTabelaMedClick() {
    PainelTabelaMed_->setGeometry(6, 61, 778, 460);
    DesabilitaBotoesCampos();
    PainelTabelaMed_->show();
    PainelTabelaMed_->TabelaMedicos->setFocus(Qt::OtherFocusReason);
    // While the table is shown, Esc closes it.
    defineBotaoCancelar(PainelTabelaMed_->BitBtn1);
}

void TFormMedicos::BitBtn1Click() {
    HabilitaBotoesCampos();
    PainelTabelaMed_->hide();
    defineBotaoCancelar(PainelMedicos_->BotSairMedicos);
}

void TFormMedicos::defineBotaoCancelar(QPushButton* botao) {
    botaoCancelar_ = botao;
}

void TFormMedicos::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier &&
        botaoCancelar_ != nullptr && botaoCancelar_->isVisible() && botaoCancelar_->isEnabled()) {
        botaoCancelar_->click();
        return;
    }
    QWidget::keyPressEvent(evento);
}

void TFormMedicos::closeEvent(QCloseEvent* evento) {
    // Deleting the suite's in-use marker is all the closing does; a missing or undeletable
    // file is no error.
    std::error_code ignorado;
    std::filesystem::remove(RaizDaSuite() / MarcaDeUso, ignorado);
    evento->accept();
}

void TFormMedicos::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    if (PainelMedicos_ != nullptr) {
        PainelMedicos_->setGeometry(rect());
    }
}

void TFormMedicos::ajustaAMoldura() {
    if (molduraAjustada_ || !isVisible() || windowState() != Qt::WindowNoState) {
        return;
    }
    // The size is that of the whole window. The window manager frames the window some time
    // after it is shown, and only then is its frame known: the first move or resize that shows
    // a frame gives the client area up what the frame takes. Without a window manager there is
    // no frame and the window keeps the size and place it was given.
    const QSize moldura = frameGeometry().size() - size();
    if (moldura == QSize(0, 0)) {
        return;
    }
    molduraAjustada_ = true;
    resize(Largura - moldura.width(), Altura - moldura.height());
    centraNaTela();
}

void TFormMedicos::centraNaTela() {
    const QScreen* tela = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (tela == nullptr) {
        return;
    }
    const QRect area = tela->availableGeometry();
    move(area.x() + (area.width() - Largura) / 2, area.y() + (area.height() - Altura) / 2);
}

std::string TFormMedicos::textoNome() const {
    return DeQt(PainelLogin_->EditNome->text());
}

std::string TFormMedicos::textoSenha() const {
    return DeQt(PainelLogin_->EditSenhaU->text());
}

void TFormMedicos::poeTextoNome(const std::string& texto) {
    PainelLogin_->EditNome->setText(ParaQt(texto));
}

void TFormMedicos::avisa(const std::string& texto) {
    if (encerrando_) {
        return;
    }
    Aviso(this, ParaQt(texto));
}

void TFormMedicos::focaNome() {
    PainelLogin_->EditNome->setFocus(Qt::OtherFocusReason);
    PainelLogin_->EditNome->selectAll();
}

void TFormMedicos::focaSenha() {
    PainelLogin_->EditSenhaU->setFocus(Qt::OtherFocusReason);
    PainelLogin_->EditSenhaU->selectAll();
}

void TFormMedicos::liberaRegistro() {
    PainelLogin_->hide();
    PainelLogin_->EditNome->clear();
    PainelLogin_->EditSenhaU->clear();
    defineBotaoCancelar(PainelMedicos_->BotSairMedicos);
    PainelMedicos_->DBNavigator7->setEnabled(true);
    PainelMedicos_->DBEditCRM->setEnabled(true);
    PainelMedicos_->HabilitaBotoesCampos();
    PainelMedicos_->BotSairMedicos->setFocus(Qt::OtherFocusReason);
}

void TFormMedicos::defineTitulo(const std::string& titulo) {
    setWindowTitle(ParaQt(titulo));
}

void TFormMedicos::fecha() {
    close();
}

bool TFormMedicos::pergunta(const std::string& texto) {
    // Ending on a signal, every question gets its default answer, No.
    return !encerrando_ && Pergunta(this, ParaQt(texto));
}

void TFormMedicos::relata(const std::string& texto) {
    if (encerrando_) {
        return;
    }
    Relato(this, ParaQt(texto));
}

void TFormMedicos::focaCRM() {
    QWidget* crm = PainelMedicos_->DBEditCRM;
    if (crm->isVisible() && crm->isEnabled()) {
        crm->setFocus(Qt::OtherFocusReason);
    }
}

void TFormMedicos::DesabilitaBotoesCampos() {
    PainelMedicos_->DesabilitaBotoesCampos();
}

void TFormMedicos::HabilitaBotoesCampos() {
    PainelMedicos_->HabilitaBotoesCampos();
}

void TFormMedicos::mostraPainelDePesquisa() {
    PainelPesqMed_->setGeometry(140, 90, 337, 175);
    PainelPesqMed_->show();
    PainelPesqMed_->EditPesqMed->setFocus(Qt::OtherFocusReason);
}

void TFormMedicos::escondePainelDePesquisa() {
    PainelPesqMed_->hide();
}

void TFormMedicos::mostraRelacao() {
    PainelPesqMedicos_->setGeometry(84, 75, 514, 447);
    PainelPesqMedicos_->show();
    PainelPesqMedicos_->GradePesqMed->setFocus(Qt::OtherFocusReason);
}

void TFormMedicos::escondeRelacao() {
    PainelPesqMedicos_->hide();
    // The user goes on from the record panel's first field.
    PainelMedicos_->DBComboBox1->setFocus(Qt::OtherFocusReason);
}

void TFormMedicos::focaBotaoTabela() {
    PainelMedicos_->BotTabelaMed->setFocus(Qt::OtherFocusReason);
}

void TFormMedicos::focaBotaoPesquisar() {
    PainelMedicos_->BotPesqMed->setFocus(Qt::OtherFocusReason);
}

} // namespace olvendra::app
