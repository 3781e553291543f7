#include "escritor_csv.h"

namespace olvendra::admin {

namespace {

bool PrecisaDeAspas(std::string_view campo) {
    return campo.find_first_of(";\"\r\n") != std::string_view::npos ||
           (!campo.empty() && (campo.front() == ' ' || campo.back() == ' '));
}

} // namespace

void EscreveRegistro(std::ostream& saida, const std::vector<std::string>& campos) {
    for (std::size_t i = 0; i < campos.size(); ++i) {
        if (i > 0) {
            saida << ';';
        }
        const std::string& campo = campos[i];
        if (!PrecisaDeAspas(campo)) {
            saida << campo;
            continue;
        }
        saida << '"';
        for (char c : campo) {
            if (c == '"') {
                saida << '"';
            }
            saida << c;
        }
        saida << '"';
    }
    saida << "\r\n";
}

} // namespace olvendra::admin
