#pragma once

#include "config/configuracao.h"
#include "data/dm.h"
#include "login/sessao.h"
#include "login/tela_de_login.h"
#include "registry/fluxo_do_formulario.h"
#include "registry/pesquisa.h"
#include "registry/regras_do_cadastro.h"
#include "registry/tela_de_pesquisa.h"
#include "registry/tela_do_cadastro.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>

class QPushButton;

namespace olvendra::app {

class EncerramentoPorSinal;
class PainelLogin;
class PainelMedicos;
class PainelPesquisa;
class PainelRelacao;
class PainelTabela;

// The main window: the record panel filling it, with the login, search and table panels inside.
class TFormMedicos : public QWidget,
                     public login::TelaDeLogin,
                     public registry::TelaDoCadastro,
                     public registry::TelaDePesquisa {
public:
    static constexpr int Largura = 806;
    static constexpr int Altura = 600;

    TFormMedicos();
    ~TFormMedicos() override;

    // Size and position, then the suite configuration. False when the configuration file is
    // missing: the notice has been shown and the program is to end with exit code 0.
    bool FormCreate(const std::filesystem::path& diretorioDoPrograma);
    // Builds the panels over the data module's record sets; before the event loop starts.
    void usaDM(data::TDM& dm);

    const TConfiguracao& configuracao() const { return configuracao_; }
    login::Sessao& sessao() { return sessao_; }
    PainelMedicos* painelMedicos() const { return PainelMedicos_; }
    PainelLogin* painelLogin() const { return PainelLogin_; }
    PainelPesquisa* painelPesquisa() const { return PainelPesqMed_; }
    PainelRelacao* painelRelacao() const { return PainelPesqMedicos_; }
    PainelTabela* painelTabela() const { return PainelTabelaMed_; }
    QPushButton* botaoCancelar() const { return botaoCancelar_; }
    registry::RegrasDoCadastro& regras() { return *regras_; }
    registry::Pesquisa& pesquisa() { return *pesquisa_; }

    std::string CamposMedicos;

    // What the login needs from the window.
    std::string textoNome() const override;
    std::string textoSenha() const override;
    void poeTextoNome(const std::string& texto) override;
    void avisa(const std::string& texto) override;
    void focaNome() override;
    void focaSenha() override;
    void liberaRegistro() override;
    void defineTitulo(const std::string& titulo) override;
    // Shared with the record rules.
    void fecha() override;

    // What the record rules need from the window.
    bool pergunta(const std::string& texto) override;
    void relata(const std::string& texto) override;
    void focaCRM() override;

    // What the search needs from the window.
    void DesabilitaBotoesCampos() override;
    void HabilitaBotoesCampos() override;
    void mostraPainelDePesquisa() override;
    void escondePainelDePesquisa() override;
    void mostraRelacao() override;
    void escondeRelacao() override;
    void focaBotaoTabela() override;
    void focaBotaoPesquisar() override;

protected:
    bool event(QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void FormActivate();
    void BotOkSenhaClick();
    void BotCancSenhaClick();
    // SIGTERM or SIGINT: the window closes as by its close box, once what was stored has had
    // one more attempt to reach the database. No question is asked: nobody may be there.
    void encerraPorSinal();
    void ligaPesquisa();
    void BotTabelaMedClick();
    void BitBtn1Click();
    // The button that Esc presses.
    void defineBotaoCancelar(QPushButton* botao);
    void centraNaTela();
    // Once the window manager's frame is known, the frame included makes Largura x Altura.
    void ajustaAMoldura();

    TConfiguracao configuracao_;
    login::Sessao sessao_;
    data::TDM* dm_ = nullptr;
    PainelMedicos* PainelMedicos_ = nullptr;
    PainelLogin* PainelLogin_ = nullptr;
    PainelPesquisa* PainelPesqMed_ = nullptr;
    PainelRelacao* PainelPesqMedicos_ = nullptr;
    PainelTabela* PainelTabelaMed_ = nullptr;
    std::unique_ptr<registry::RegrasDoCadastro> regras_;
    std::unique_ptr<registry::Pesquisa> pesquisa_;
    registry::FluxoDoFormulario* fluxo_ = nullptr;
    QPushButton* botaoCancelar_ = nullptr;
    EncerramentoPorSinal* encerramento_ = nullptr;
    bool encerrando_ = false;
    bool ativada_ = false;
    bool molduraAjustada_ = false;
};

} // namespace olvendra::app
