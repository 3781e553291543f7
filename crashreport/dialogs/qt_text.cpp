#include "crashreport/dialogs/qt_text.h"

#include "crashreport/options/win1252.h"

namespace faulttrap {
namespace {

// Bytes Windows-1252 leaves undefined are kept as their C1 controls.
char16_t Decode(unsigned char byte) {
    const char32_t codePoint = Win1252CodePoint(byte);
    return codePoint != 0 ? static_cast<char16_t>(codePoint) : static_cast<char16_t>(byte);
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
        const std::optional<unsigned char> byte = Win1252Byte(c.unicode());
        bytes += byte ? static_cast<char>(*byte) : '?';
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
