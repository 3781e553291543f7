#pragma once

#include <string_view>

namespace olvendra::login {

// The suite's access test: the fourth character of the user's access string, less 5 (modulo 256),
// must be the user's initial. A shorter access string fails.
bool AcessoPermitido(std::string_view acessoUsuario, char inicial);

} // namespace olvendra::login
