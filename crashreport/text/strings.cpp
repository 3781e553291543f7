#include "crashreport/text/strings.h"

#include <cstdio>
#include <cstdlib>

namespace faulttrap {

std::string_view TrimmedView(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Trim(std::string_view text) {
    return std::string(TrimmedView(text));
}

std::string_view TrimmedView(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string Hex(unsigned long long value, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, value);
    return buffer;
}

std::string ExpandEnvironment(std::string_view text) {
    std::string expanded;
    expanded.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            expanded.append(text.substr(at));
            break;
        }
        expanded.append(text.substr(at, open - at));
        const std::string name(text.substr(open + 1, close - open - 1));
        const bool validName = !name.empty() && name.find('\0') == std::string::npos;
        const char* value = validName ? std::getenv(name.c_str()) : nullptr;
        if (value != nullptr) {
            expanded.append(value);
            at = close + 1;
        } else {
            // The closing "%" may open the next name ("100%%HOME%").
            expanded.append(text.substr(open, close - open));
            at = close;
        }
    }
    return expanded;
}

} // namespace faulttrap
