#pragma once

// Small text helpers shared by the report builder and the log file. Report texts are single-byte
// and every line ends with CR LF.

#include "crashreport/options/text_case.h"
#include "crashreport/text/strings.h"

#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

inline constexpr std::string_view kCrLf = "\r\n";

// Splits at CR LF, lone CR or lone LF; a text ending in a line break gives no empty last line.
std::vector<std::string> SplitLines(std::string_view text);

// Splits at CR LF only, keeping a last empty part when the text ends in CR LF.
std::vector<std::string> SplitAtCrLf(std::string_view text);

bool ContainsLineBreak(std::string_view text);

// Whether Windows-1252 gives byte `byte` a character (all but 0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool IsWindows1252Character(unsigned char byte);

std::string PadRight(std::string_view text, std::size_t width);

// Digits of a pointer-sized address: 16 on a 64-bit build, 8 on a 32-bit one.
inline constexpr int kAddressDigits = static_cast<int>(sizeof(void*) * 2);

} // namespace faulttrap
