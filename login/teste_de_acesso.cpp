#include "login/teste_de_acesso.h"

#include <cstdint>

namespace olvendra::login {

bool AcessoPermitido(std::string_view acessoUsuario, char inicial) {
    if (acessoUsuario.size() < 4) {
        return false;
    }
    const auto quarto = static_cast<std::uint8_t>(acessoUsuario[3]);
    return static_cast<std::uint8_t>(quarto - 5) == static_cast<std::uint8_t>(inicial);
}

} // namespace olvendra::login
