#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace olvendra::admin {

// The byte order mark that lets a spreadsheet read the file as UTF-8.
inline constexpr std::string_view MarcaUtf8 = "\xEF\xBB\xBF";

// One record as a spreadsheet reads it back: fields separated by ";", each in double quotes
// (inner quotes doubled) when it holds ";", a quote, a line break or a blank at either end;
// CRLF at the end. The fields are written as given (UTF-8).
void EscreveRegistro(std::ostream& saida, const std::vector<std::string>& campos);

} // namespace olvendra::admin
