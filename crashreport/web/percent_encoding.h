#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// Keeps the ASCII letters and digits and writes every other byte, "-", "." and the space
// included, as "%" and two upper-case hexadecimal digits.
std::string PercentEncode(std::string_view text);

// Turns every "%" and two hexadecimal digits into that byte; anything else stays as it is.
std::string PercentDecode(std::string_view text);

} // namespace faulttrap
