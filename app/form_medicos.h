#pragma once

#include "config/configuracao.h"
#include "data/dm.h"
#include "login/sessao.h"
#include "login/tela_de_login.h"

#include <QWidget>

#include <filesystem>
#include <string>

class QPushButton;

namespace olvendra::app {

class PainelLogin;
class PainelMedicos;
class Painel;

// The main window: the record panel filling it, with the login, search and table panels inside.
class TFormMedicos : public QWidget, public login::TelaDeLogin {
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
    QPushButton* botaoCancelar() const { return botaoCancelar_; }

    std::string CamposMedicos;
    bool SaindoDoCadastro = false;

    // What the login needs from the window.
    std::string textoNome() const override;
    std::string textoSenha() const override;
    void poeTextoNome(const std::string& texto) override;
    void avisa(const std::string& texto) override;
    void focaNome() override;
    void focaSenha() override;
    void liberaRegistro() override;
    void defineTitulo(const std::string& titulo) override;
    void fecha() override;

protected:
    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void FormActivate();
    void BotOkSenhaClick();
    void BotCancSenhaClick();
    void BotSairMedicosClick();
    // The button that Esc presses.
    void defineBotaoCancelar(QPushButton* botao);
    void centraNaTela();

    TConfiguracao configuracao_;
    login::Sessao sessao_;
    data::TDM* dm_ = nullptr;
    PainelMedicos* PainelMedicos_ = nullptr;
    PainelLogin* PainelLogin_ = nullptr;
    Painel* PainelPesqMed_ = nullptr;
    Painel* PainelPesqMedicos_ = nullptr;
    Painel* PainelTabelaMed_ = nullptr;
    QPushButton* botaoCancelar_ = nullptr;
    bool ativada_ = false;
    bool molduraAjustada_ = false;
};

} // namespace olvendra::app
