#pragma once

#include <cstdint>
#include <string_view>

namespace olvendra {

// A decimal integer with an optional sign ("+" or "-") and nothing else: no blanks, no hex, no
// empty text. Anything else, or a value outside the signed 32-bit range, throws EConvertError
// "'<texto>' is not a valid integer value".
std::int32_t TextoParaInteiro(std::string_view texto);

} // namespace olvendra
