#include "crashreport/renderings/name_decryption.h"

#include "crashreport/debuginfo/name_cipher.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace faulttrap {
namespace {

int Sextet(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

bool NameCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x7F;
}

// Each "."-joined piece that starts with "?" (and "p" for a unit) deciphered.
std::optional<std::string> Decrypt(std::string_view stored, std::size_t skip,
                                   const NameCipher& cipher) {
    std::string plain;
    std::size_t start = 0;
    while (start <= stored.size()) {
        const std::size_t dot = stored.find('.', start);
        std::string_view piece =
            stored.substr(start, dot == stored.npos ? stored.npos : dot - start);
        if (start > 0) {
            plain += '.';
        }
        if (piece.size() >= skip && piece.starts_with('?')) {
            std::string bytes;
            if (!DecodeBase64(piece.substr(skip), bytes)) {
                return std::nullopt;
            }
            const std::vector<std::uint8_t> in(bytes.begin(), bytes.end());
            const std::vector<std::uint8_t> out = cipher.Decrypt(in);
            for (const std::uint8_t byte : out) {
                if (!NameCharacter(static_cast<char>(byte))) {
                    return std::nullopt;
                }
                plain += static_cast<char>(byte);
            }
        } else {
            plain += piece;
        }
        if (dot == stored.npos) {
            break;
        }
        start = dot + 1;
    }
    return plain;
}

} // namespace

bool DecodeBase64(std::string_view text, std::string& bytes) {
    while (text.ends_with('=')) {
        text.remove_suffix(1);
    }
    if (text.size() % 4 == 1) {
        return false;
    }
    bytes.clear();
    std::uint32_t buffer = 0;
    int bits = 0;
    for (const char c : text) {
        const int value = Sextet(c);
        if (value < 0) {
            return false;
        }
        buffer = (buffer << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return true;
}

StackNames DecryptStackNames(const StackNames& stored, std::string_view password) {
    StackNames names = stored;
    if (!password.empty() && stored.unit.size() > 2 && stored.unit.starts_with('?')) {
        const NameCipher cipher(password);
        const auto unit = Decrypt(stored.unit, 2, cipher);
        const auto procedure = Decrypt(stored.procedure, 1, cipher);
        const auto className = Decrypt(stored.className, 1, cipher);
        if (unit && procedure && className) {
            names.unit = *unit;
            if (names.unit.find('.') == std::string::npos) {
                names.unit += stored.unit[1] == 'p' ? ".pas" : ".cpp";
            }
            names.procedure = *procedure;
            names.className = *className;
            const std::size_t dot = names.procedure.rfind('.');
            if (names.className.empty() && dot != std::string::npos) {
                names.className = names.procedure.substr(0, dot);
                names.procedure = names.procedure.substr(dot + 1);
            }
        }
    }
    if (names.procedure.starts_with('@')) {
        names.procedure[0] = '_';
    }
    return names;
}

} // namespace faulttrap
