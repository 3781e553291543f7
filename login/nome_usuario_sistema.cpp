#include "login/nome_usuario_sistema.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace olvendra::login {

namespace {
constexpr std::size_t LarguraMaxima = 49;
}

std::string NomeUsuarioSistema() {
    long tamanho = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> memoria(tamanho > 0 ? static_cast<std::size_t>(tamanho) : 16384);
    passwd registro{};
    passwd* encontrado = nullptr;
    if (getpwuid_r(getuid(), &registro, memoria.data(), memoria.size(), &encontrado) != 0 ||
        encontrado == nullptr || encontrado->pw_name == nullptr) {
        return {};
    }
    std::string nome = encontrado->pw_name;
    if (nome.size() > LarguraMaxima) {
        nome.resize(LarguraMaxima);
    }
    return nome;
}

} // namespace olvendra::login
