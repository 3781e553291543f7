#include "crashreport/dialogs/qt_text.h"

#include <array>

namespace faulttrap {
namespace {

// Code points of 0x80 to 0x9F; 0 where Windows-1252 has no character (kept as the C1 control).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Decode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] != 0) {
        return kHigh[byte - 0x80];
    }
    return byte;
}

} // namespace

QString ToQt(std::string_view win1252) {
    QString text;
    text.reserve(static_cast<qsizetype>(win1252.size()));
    for (const char c : win1252) {
        text.append(QChar(Decode(static_cast<unsigned char>(c))));
    }
    return text;
}

std::string FromQt(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
            bytes += static_cast<char>(code);
            continue;
        }
        char replacement = '?';
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == code) {
                replacement = static_cast<char>(0x80 + i);
            }
        }
        bytes += replacement;
    }
    return bytes;
}

QString WithoutAccelerator(const QString& caption) {
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        plain.append(caption[i]);
    }
    return plain;
}

} // namespace faulttrap
