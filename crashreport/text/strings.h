#pragma once

// The small text operations FaultTrap's parts share.

#include <string>
#include <string_view>

namespace faulttrap {

// `text` without the blanks at either end: every byte up to the blank (control characters
// included).
std::string_view TrimmedView(std::string_view text);
std::string Trim(std::string_view text);
// `text` without the bytes of `blanks` at either end.
std::string_view TrimmedView(std::string_view text, std::string_view blanks);

// `text` with every `from` replaced by `to`, from left to right; a replacement is not searched
// again.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// `value` in upper-case hexadecimal, at least `digits` digits (zeros in front).
std::string Hex(unsigned long long value, int digits);

// Every `%NAME%` whose environment variable exists replaced by its value; a `%` that does not
// start a known variable stays as it is, and its closing `%` may open the next reference. A name
// holding a NUL names no variable. NULs of the text and of the values are kept.
std::string ExpandEnvironment(std::string_view text);

} // namespace faulttrap
