#include "login/codifica.h"

#include <cstddef>

namespace olvendra {

std::string Codifica(std::string_view win1252) {
    const std::size_t k = win1252.size() % 32;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(win1252[i]); };

    // Rotating the whole bit string left by 3 makes byte i of the rotated string the low 5 bits
    // of input byte i followed by the top 3 bits of the next byte (the first one after the last).
    // The rotated bytes are then written from the last to the first, each as two nibble letters.
    std::string letras;
    letras.reserve(2 * k);
    for (std::size_t i = k; i-- > 0;) {
        const unsigned rotacionado = ((byte(i) << 3) | (byte((i + 1) % k) >> 5)) & 0xFFu;
        letras += static_cast<char>('A' + (rotacionado >> 4));
        letras += static_cast<char>('A' + (rotacionado & 0x0Fu));
    }
    return letras;
}

} // namespace olvendra
