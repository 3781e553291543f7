#include "login/valida_usuario.h"

#include "config/erro_inesperado.h"
#include "config/texto.h"
#include "login/codifica.h"
#include "login/fecha_ao_sair.h"
#include "login/mensagens.h"
#include "login/seleciona_estacao.h"
#include "login/teste_de_acesso.h"

#include <exception>

namespace olvendra::login {

namespace {

constexpr std::size_t LarguraChaveDeBusca = 60;
constexpr std::size_t LarguraSenhaGuardada = 20;

enum class Identificacao { NaoAutorizado, SenhaIncorreta, Conferida };

// Finds the user by the encoded name and compares the encoded password; on a match keeps the
// user's access string. The user rows are read afresh, so that users created meanwhile by the
// suite's other modules can log in.
Identificacao ConfereCredenciais(const TelaDeLogin& tela, data::RecordSet& usuarios,
                                 Sessao& sessao) {
    FechaAoSair fechaUsuarios(usuarios);
    usuarios.open();
    sessao.UsuarioLogin = CortaEm(MaiusculasAZ(tela.textoNome()), Sessao::LarguraUsuario);
    // The key is cut after encoding: a name of 32 characters or more is looked up by its first
    // (length modulo 32) characters, as the suite's encoding does.
    const std::string chave =
        CortaEm(Codifica(MaiusculasAZ(tela.textoNome())), LarguraChaveDeBusca);
    if (!usuarios.findKey({chave})) {
        return Identificacao::NaoAutorizado;
    }
    const std::string senhaGuardada = CortaEm(usuarios.fieldText("SENHA"), LarguraSenhaGuardada);
    if (senhaGuardada != Codifica(MaiusculasAZ(tela.textoSenha()))) {
        return Identificacao::SenhaIncorreta;
    }
    sessao.AcessoUsuario = CortaEm(usuarios.fieldText("ACESSO"), Sessao::LarguraAcesso);
    return Identificacao::Conferida;
}

// A work area that cannot be read is no work area: the failure is reported, and the user is
// stopped as if none had been found instead of being left to work without one.
std::string EstacaoOuVazio(TelaDeLogin& tela, data::RecordSet& estacoes, Sessao& sessao) {
    try {
        return SelecionaEstacao(tela, estacoes, sessao);
    } catch (...) {
        TrataErroInesperado(std::current_exception());
        return {};
    }
}

} // namespace

void ValidaUsuario(TelaDeLogin& tela, data::RecordSet& usuarios, data::RecordSet& estacoes,
                   Sessao& sessao) {
    if (tela.textoNome().empty()) {
        tela.avisa(MensagemNomeNaoInformado());
        tela.focaNome();
        return;
    }
    switch (ConfereCredenciais(tela, usuarios, sessao)) {
    case Identificacao::NaoAutorizado:
        tela.avisa(MensagemNaoAutorizado(tela.textoNome()));
        tela.focaNome();
        return;
    case Identificacao::SenhaIncorreta:
        tela.avisa(MensagemSenhaIncorreta());
        tela.focaSenha();
        return;
    case Identificacao::Conferida:
        break;
    }
    if (!AcessoPermitido(sessao.AcessoUsuario, sessao.UsuarioLogin.front())) {
        tela.avisa(MensagemNaoAutorizado(tela.textoNome()));
        tela.focaNome();
        return;
    }

    tela.liberaRegistro();
    sessao.UsuarioAtual = sessao.UsuarioLogin;
    if (EstacaoOuVazio(tela, estacoes, sessao).empty()) {
        tela.avisa(MensagemSemAreaDeTrabalho(MaiusculasAZ(tela.textoNome())));
        tela.fecha();
    }
}

} // namespace olvendra::login
