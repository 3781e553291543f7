#pragma once

#include <string>

namespace olvendra::login {

// Who is working and where: the values the login and the work-area lookup set for the rest of the
// run. Windows-1252 text, each kept within its width.
struct Sessao {
    static constexpr std::size_t LarguraUsuario = 60;
    static constexpr std::size_t LarguraAcesso = 50;
    static constexpr std::size_t LarguraEstacao = 2;

    std::string UsuarioAtual;  // the operating-system user until a login succeeds
    std::string UsuarioLogin;  // the name typed at the latest attempt, in upper case
    std::string AcessoUsuario; // the access string of the user whose password matched
    std::string EstacaoAtual;  // the code of the user's work area
};

} // namespace olvendra::login
