#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace olvendra::data {

// Canonical text of a scaled integer: "-0.05", "12.5", "3" (trailing fractional zeros dropped).
// `buffer` must hold 24 characters.
std::string_view ScaledToText(std::int64_t value, int scale, char* buffer);

// Parses "[-+]digits[sep digits]" (sep is "." or `separator`, surrounding blanks allowed) into an
// integer scaled by 10^scale, rounding half away from zero; nullopt when it is not a number or
// does not fit.
std::optional<std::int64_t> ParseScaled(std::string_view text, int scale, char separator);

} // namespace olvendra::data
