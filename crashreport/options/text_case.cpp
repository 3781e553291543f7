#include "crashreport/options/text_case.h"

#include <algorithm>

namespace faulttrap {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (from > text.size()) {
        return std::string_view::npos;
    }
    const auto found =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                    needle.end(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
    return found == text.end() && !needle.empty() ? std::string_view::npos
                                                  : static_cast<std::size_t>(found - text.begin());
}

} // namespace faulttrap
