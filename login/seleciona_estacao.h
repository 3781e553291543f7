#pragma once

#include "data/record_set.h"
#include "login/sessao.h"
#include "login/tela_de_login.h"

#include <string>

namespace olvendra::login {

// The columns of the work-area lookup; the user name goes in as a parameter, so that any name,
// apostrophes included, is compared as it is.
inline constexpr const char* ComandoEstacoesDoUsuario =
    "Select ESTACAO, DATBASNAM, TIPO, ATCAIXA, ESVAZIAR, EMUSO, CAMINHOREQUISICAO, CAMINHOOM, "
    "CAMINHOECF, CAMINHOSEQUENCIAL1, CAMINHO2, ROTULO1, ROTULO2, ROTULO3, ROTULO4, ROTULO5, "
    "ROTULO6, USUARIO, CNPJ from ESTACOES where upper(USUARIO) = ?";

// Looks up the work area of sessao.UsuarioAtual: sets EstacaoAtual and the window caption and
// returns the work area's database path, or shows why none was found and returns "".
// The found row is marked in use only inside the record set, which is closed without applying:
// nothing in the suite ever clears the mark, so writing it would leave work areas marked forever.
std::string SelecionaEstacao(TelaDeLogin& tela, data::RecordSet& estacoes, Sessao& sessao);

} // namespace olvendra::login
