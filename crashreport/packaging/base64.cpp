#include "crashreport/packaging/base64.h"

#include <array>
#include <cstdint>

namespace faulttrap {
namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t NotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> DecodeTable() {
    std::array<std::int8_t, 256> table{};
    table.fill(NotInAlphabet);
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(Alphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}

constexpr auto Decode = DecodeTable();

} // namespace

std::string ToBase64(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16 |
                                    static_cast<std::uint8_t>(bytes[i + 1]) << 8 |
                                    static_cast<std::uint8_t>(bytes[i + 2]);
        text += Alphabet[group >> 18 & 63];
        text += Alphabet[group >> 12 & 63];
        text += Alphabet[group >> 6 & 63];
        text += Alphabet[group & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (rest == 2) {
            group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        }
        text += Alphabet[group >> 18 & 63];
        text += Alphabet[group >> 12 & 63];
        text += rest == 2 ? Alphabet[group >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

std::string FromBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        throw EBase64Error("Base64 text length is not a multiple of four.");
    }
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (padding == 1 && text[i + 2] == '=') {
            throw EBase64Error("Invalid Base64 padding.");
        }
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const unsigned char c = static_cast<unsigned char>(text[i + k]);
            const std::int8_t value = k >= 4 - padding ? 0 : Decode[c];
            if (value == NotInAlphabet) {
                throw EBase64Error("Invalid character in Base64 text.");
            }
            group = group << 6 | static_cast<std::uint32_t>(value);
        }
        bytes += static_cast<char>(group >> 16 & 0xFF);
        if (padding < 2) {
            bytes += static_cast<char>(group >> 8 & 0xFF);
        }
        if (padding < 1) {
            bytes += static_cast<char>(group & 0xFF);
        }
    }
    return bytes;
}

} // namespace faulttrap
