#include "http_response.h"

#include "text_case.h"

namespace faulttrap {

std::string PageNameOf(std::string_view path) {
    path = path.substr(0, path.find('?'));
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void BlankControlBytes(std::string& text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
}

std::string HeaderValue(std::string_view headers, std::string_view name) {
    while (!headers.empty()) {
        const std::size_t end = headers.find('\n');
        std::string_view line = headers.substr(0, end);
        headers.remove_prefix(end == std::string_view::npos ? headers.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !EqualsIgnoringCase(line.substr(0, colon), name))
            continue;
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ')
            value.remove_prefix(1);
        while (!value.empty() && static_cast<unsigned char>(value.back()) <= ' ')
            value.remove_suffix(1);
        return std::string(value);
    }
    return {};
}

} // namespace faulttrap
