#include "config/chaves_configuracao.h"

namespace olvendra {

std::string RotuloDaChave(std::string_view chave) {
    std::string rotulo(chave);
    rotulo.resize(LarguraDoRotulo - 1, '.');
    rotulo += ':';
    return rotulo;
}

} // namespace olvendra
