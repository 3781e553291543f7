#include "crashreport/web/http_response.h"

#include "crashreport/options/text_case.h"

#include <algorithm>

namespace faulttrap {

std::string PageNameOf(std::string_view path) {
    path = path.substr(0, path.find('?'));
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void BlankControlBytes(std::string& text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32) {
            c = ' ';
        }
    }
}

void ParseStatusLine(std::string_view line, int& code, std::string& text) {
    code = 0;
    text.clear();
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        return;
    }
    std::string_view rest = line.substr(space + 1);
    int value = 0;
    std::size_t digits = 0;
    while (digits < rest.size() && digits < 3 && rest[digits] >= '0' && rest[digits] <= '9') {
        value = value * 10 + (rest[digits++] - '0');
    }
    if (digits != 3 || (rest.size() > 3 && rest[3] != ' ' && rest[3] != '\r' && rest[3] != '\n')) {
        return;
    }
    code = value;
    rest.remove_prefix(std::min<std::size_t>(rest.size(), 4));
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n')) {
        rest.remove_suffix(1);
    }
    text = std::string(rest);
}

std::string HeaderValue(std::string_view headers, std::string_view name) {
    while (!headers.empty()) {
        const std::size_t end = headers.find('\n');
        std::string_view line = headers.substr(0, end);
        headers.remove_prefix(end == std::string_view::npos ? headers.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !EqualsIgnoringCase(line.substr(0, colon), name)) {
            continue;
        }
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ') {
            value.remove_prefix(1);
        }
        while (!value.empty() && static_cast<unsigned char>(value.back()) <= ' ') {
            value.remove_suffix(1);
        }
        return std::string(value);
    }
    return {};
}

} // namespace faulttrap
