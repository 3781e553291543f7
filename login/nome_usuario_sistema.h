#pragma once

#include <string>

namespace olvendra::login {

// The log-on name of the real user of the process, at most 49 characters; empty when the system
// cannot tell it.
std::string NomeUsuarioSistema();

} // namespace olvendra::login
