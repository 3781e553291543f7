#pragma once

#include <string>
#include <string_view>

namespace olvendra {

// The suite's credential encoding: the stored form of user names and passwords, compared but
// never decoded. The input is Windows-1252 bytes; the output is 2 * (n mod 32) letters "A"-"P".
// The format is shared with the suite's other modules and must not change by a single bit.
std::string Codifica(std::string_view win1252);

} // namespace olvendra
