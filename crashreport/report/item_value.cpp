#include "crashreport/report/item_value.h"

#include "crashreport/report/report_text.h"

namespace faulttrap {

namespace {

// A log holds no NUL and only bytes Windows-1252 defines: a NUL becomes a blank, any other such
// byte "?". Every other control character stays as the value has it.
std::string StorableText(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\0') {
            c = ' ';
        } else if (!IsWindows1252Character(static_cast<unsigned char>(c))) {
            c = '?';
        }
    }
    return text;
}

} // namespace

std::string EncodeItemValue(std::string_view original) {
    const std::string value = StorableText(original);
    if (!ContainsLineBreak(value)) {
        return value;
    }
    std::string encoded;
    const auto lines = SplitLines(value);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = ReplaceAll(lines[i], ": ", ":_");
        if (Trim(line).empty()) {
            line = ".";
        }
        if (i > 0) {
            encoded += kCrLf;
            encoded += ' ';
        }
        encoded += line;
    }
    return encoded;
}

std::string IndentItemValue(std::string_view value, std::size_t column) {
    const std::string encoded = EncodeItemValue(value);
    const std::string indent(column > 0 ? column - 1 : 0, ' ');
    return ReplaceAll(encoded, "\r\n ", std::string(kCrLf) + indent + ' ');
}

std::string DecodeItemValue(std::string_view stored) {
    const auto lines = SplitAtCrLf(stored);
    if (lines.size() == 1) {
        return Trim(lines.front());
    }
    std::string decoded;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (i > 0) {
            decoded += kCrLf;
            line.erase(0, line.find_first_not_of(' '));
        }
        // Only a line that was empty is a lone "."; a sentence's final full stop stays.
        if (line == ".") {
            line.clear();
        }
        decoded += ReplaceAll(line, ":_", ": ");
    }
    return Trim(decoded);
}

} // namespace faulttrap
