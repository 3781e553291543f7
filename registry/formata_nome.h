#pragma once

#include <string>
#include <string_view>

namespace olvendra {

// The canonical shape of a professional's name (Windows-1252 text): single spaces, each word
// capitalised, the particles "de", "da", "do", "das", "dos" in lower case, middle names reduced to
// initials and inner particles dropped, apostrophes turned into spaces. Stored names and searched
// names go through it, so the same person typed twice looks the same.
std::string FormataNome(std::string_view texto);

} // namespace olvendra
