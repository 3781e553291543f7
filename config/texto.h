#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace olvendra {

// Texts of the domain are Windows-1252 bytes held in std::string.

// Removes leading and trailing spaces; tabs and every other character stay.
std::string TiraBrancos(std::string_view texto);

// Change the case of the letters a-z / A-Z only; accented letters and other bytes stay.
std::string MaiusculasAZ(std::string_view texto);
std::string MinusculasAZ(std::string_view texto);

// The first n bytes of the text (the whole text when it is shorter).
std::string CortaEm(std::string_view texto, std::size_t n);

// A text that cannot be converted between UTF-8 and Windows-1252; what() is UTF-8.
class ErroDeCodificacao : public std::runtime_error {
public:
    explicit ErroDeCodificacao(const std::string& mensagem) : std::runtime_error(mensagem) {}
};

// Every one of the 256 byte values has a character, so this never fails.
std::string Win1252ParaUtf8(std::string_view win1252);

// Throws ErroDeCodificacao for invalid UTF-8 and for characters Windows-1252 cannot hold.
std::string Utf8ParaWin1252(std::string_view utf8);

} // namespace olvendra
