#include "crashreport/options/options_ini_text.h"

#include "crashreport/options/win1252.h"

#include <cstdint>

namespace faulttrap {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<char> ToWin1252(char32_t c) {
    if (const std::optional<unsigned char> byte = Win1252Byte(c)) {
        return static_cast<char>(*byte);
    }
    return std::nullopt;
}

// A text of the file (escapes already read) as Windows-1252; nullopt with `error` set when it is
// not UTF-8 or holds a character the code page lacks.
std::optional<std::string> Utf8ToWin1252(std::string_view utf8, std::string& error) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80    ? 1
                           : lead >= 0xF0 ? 4
                           : lead >= 0xE0 ? 3
                           : lead >= 0xC0 ? 2
                                          : 0;
        if (length == 0 || i + length > utf8.size()) {
            error = "the text is not UTF-8";
            return std::nullopt;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                error = "the text is not UTF-8";
                return std::nullopt;
            }
            c = (c << 6) | (next & 0x3F);
        }
        const std::optional<char> byte = ToWin1252(c);
        if (!byte) {
            error = "the text holds \"" + std::string(utf8.substr(i, length)) +
                    "\", which Windows-1252 cannot hold";
            return std::nullopt;
        }
        out += *byte;
        i += length;
    }
    return out;
}

} // namespace

std::string EscapedText(std::string_view win1252) {
    std::string out;
    for (std::size_t i = 0; i < win1252.size(); ++i) {
        const char c = win1252[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == ' ' && (i == 0 || i + 1 == win1252.size())) {
            out += "\\s";
        } else {
            AppendUtf8(out, Win1252CodePoint(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

std::optional<std::string> UnescapedText(std::string_view value, std::string& error) {
    std::string utf8;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            utf8 += value[i];
            continue;
        }
        const char next = i + 1 < value.size() ? value[++i] : '\0';
        switch (next) {
        case '\\':
            utf8 += '\\';
            break;
        case 'r':
            utf8 += '\r';
            break;
        case 'n':
            utf8 += '\n';
            break;
        case 't':
            utf8 += '\t';
            break;
        case 's':
            utf8 += ' ';
            break;
        default:
            error = next == '\0' ? "the text ends in a lone \\"
                                 : std::string("unknown escape \\") + next + " in the text";
            return std::nullopt;
        }
    }
    return Utf8ToWin1252(utf8, error);
}

} // namespace faulttrap
