#pragma once

// Windows-1252, the code page of every stored text, and Unicode.

#include <optional>

namespace faulttrap {

// The Unicode code point of a byte; 0 for the five bytes of 0x80-0x9F the code page leaves
// undefined (and for the byte 0 itself).
char32_t Win1252CodePoint(unsigned char byte);

// The byte of a code point, or nullopt when the code page has no such character.
std::optional<unsigned char> Win1252Byte(char32_t codePoint);

} // namespace faulttrap
