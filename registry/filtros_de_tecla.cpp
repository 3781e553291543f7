#include "registry/filtros_de_tecla.h"

namespace olvendra::registry {

namespace {

bool Digito(char c) {
    return c >= '0' && c <= '9';
}

bool Controle(char c) {
    const auto codigo = static_cast<unsigned char>(c);
    return codigo < 32 || codigo == 127;
}

} // namespace

bool AceitaNoNome(char c) {
    return AceitaNoDiaMes(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool AceitaNoDiaMes(char c) {
    return c == Backspace || c == ' ' || c == '/' || Digito(c);
}

bool AceitaNoPercentual(char c, char separadorDecimal) {
    return Controle(c) || Digito(c) || c == '+' || c == '-' || c == separadorDecimal;
}

} // namespace olvendra::registry
