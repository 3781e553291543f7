#include "crashreport/renderings/xml_element.h"

#include "crashreport/options/win1252.h"

#include <cstdio>

namespace faulttrap {

namespace {

// A byte's Unicode code point; the replacement character for the five bytes Windows-1252 leaves
// undefined.
unsigned CodePointOf(unsigned char byte) {
    const char32_t codePoint = Win1252CodePoint(byte);
    return byte >= 0x80 && codePoint == 0 ? 0xFFFD : static_cast<unsigned>(codePoint);
}

} // namespace

std::string EscapeAttribute(std::string_view value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool allowedControl = byte == 9 || byte == 10 || byte == 13;
        if (byte < 32 && !allowedControl) {
            escaped += ' ';
        } else if (allowedControl || byte == 34 || byte == 38 || byte == 39 || byte == 60 ||
                   byte == 62 || byte >= 127) {
            char reference[16];
            std::snprintf(reference, sizeof reference, "&#%03u;", CodePointOf(byte));
            escaped += reference;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

} // namespace faulttrap
