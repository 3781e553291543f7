#include "config/inteiro.h"

#include "config/erro_inesperado.h"

#include <string>

namespace olvendra {

std::int32_t TextoParaInteiro(std::string_view texto) {
    const auto invalido = [&] {
        return EConvertError("'" + std::string(texto) + "' is not a valid integer value");
    };
    std::string_view digitos = texto;
    const bool negativo = !digitos.empty() && digitos.front() == '-';
    if (!digitos.empty() && (digitos.front() == '-' || digitos.front() == '+')) {
        digitos.remove_prefix(1);
    }
    if (digitos.empty()) {
        throw invalido();
    }
    // One more than INT32_MAX is allowed while accumulating, for INT32_MIN.
    const std::int64_t limite = negativo ? std::int64_t{INT32_MAX} + 1 : INT32_MAX;
    std::int64_t valor = 0;
    for (const char c : digitos) {
        if (c < '0' || c > '9') {
            throw invalido();
        }
        valor = valor * 10 + (c - '0');
        if (valor > limite) {
            throw invalido();
        }
    }
    return static_cast<std::int32_t>(negativo ? -valor : valor);
}

} // namespace olvendra
