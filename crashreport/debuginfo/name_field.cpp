#include "crashreport/debuginfo/name_field.h"

#include <vector>

namespace faulttrap {

namespace {

constexpr std::uint8_t continuationBit = 0x80;

std::vector<std::string_view> SplitIntoPieces(std::string_view name) {
    std::vector<std::string_view> pieces;
    while (name.size() > maxNameFieldBytes) {
        const std::size_t dot = name.rfind('.', maxNameFieldBytes);
        if (dot == std::string_view::npos || dot == 0) {
            const std::size_t next = name.find('.', maxNameFieldBytes);
            pieces.push_back(name.substr(0, maxNameFieldBytes));
            if (next == std::string_view::npos) {
                return pieces;
            }
            name.remove_prefix(next + 1);
            continue;
        }
        pieces.push_back(name.substr(0, dot));
        name.remove_prefix(dot + 1);
    }
    pieces.push_back(name);
    return pieces;
}

} // namespace

void WriteNameField(ByteWriter& out, std::string_view name, const NameCipher& cipher) {
    const std::vector<std::string_view> pieces = SplitIntoPieces(name);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const bool more = i + 1 < pieces.size();
        out.U8(static_cast<std::uint8_t>(pieces[i].size() | (more ? continuationBit : 0)));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(pieces[i].data());
        out.Raw(cipher.Encrypt({bytes, pieces[i].size()}));
    }
}

namespace {

// Hands the stored bytes of each piece of a name field, in order, to takePiece.
template <typename TakePiece>
void ReadPieces(ByteReader& in, const NameDecoding& decoding, TakePiece takePiece) {
    bool more = true;
    while (more) {
        std::uint8_t length = in.U8("name length");
        more = decoding.continuation && (length & continuationBit) != 0;
        if (decoding.continuation) {
            length &= ~continuationBit;
        }
        takePiece(in.Bytes(length, "name"));
    }
}

} // namespace

std::string ReadNameField(ByteReader& in, const NameDecoding& decoding, NameRole role) {
    std::string name;
    ReadPieces(in, decoding, [&](std::span<const std::uint8_t> stored) {
        if (!name.empty()) {
            name += '.';
        }
        if (decoding.passwordValid && decoding.cipher) {
            const std::vector<std::uint8_t> plain = decoding.cipher->Decrypt(stored);
            name.append(plain.begin(), plain.end());
        } else {
            name += role == NameRole::unit ? "?p" : "?";
            name += Base64(stored);
        }
    });
    return name;
}

void SkipNameField(ByteReader& in, const NameDecoding& decoding) {
    ReadPieces(in, decoding, [](std::span<const std::uint8_t>) {});
}

} // namespace faulttrap
