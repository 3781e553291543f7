#pragma once

// The texts of an options file: UTF-8 in the file, Windows-1252 in the options, with \n, \r, \t,
// \s (a blank, for those at either end) and \\ for what one line cannot hold.

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// A stored (Windows-1252) text as the file writes it.
std::string EscapedText(std::string_view win1252);

// A value of the file as the stored text; nullopt with `error` set for an unknown escape, text
// that is not UTF-8, or a character Windows-1252 cannot hold.
std::optional<std::string> UnescapedText(std::string_view value, std::string& error);

} // namespace faulttrap
