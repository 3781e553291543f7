#pragma once

#include <string_view>

namespace olvendra::data {

// The collation the statements name for Portuguese dictionary order of Windows-1252 text.
inline constexpr std::string_view PortugueseCollation = "WIN_PTBR";

// Compares two Windows-1252 texts as the database's Portuguese collation does: letter case,
// accents and the cedilla make no difference ("João" equals "JOAO"), trailing blanks are not
// significant, and otherwise each character weighs by its base letter in dictionary order.
// Answers -1, 0 or 1.
int ComparePortuguese(std::string_view a, std::string_view b);

} // namespace olvendra::data
