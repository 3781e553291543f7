#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// Letter case of "A" to "Z" only; every other byte compares as it is.
char AsciiLower(char c);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Position of `needle` in `text` ignoring case, or npos.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from = 0);

} // namespace faulttrap
