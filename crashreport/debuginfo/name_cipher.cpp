#include "crashreport/debuginfo/name_cipher.h"

#include "crashreport/debuginfo/md5_digest.h"

#include <algorithm>

namespace faulttrap {

namespace {

constexpr std::uint32_t roundConstant = 0x9E3779B9;
constexpr int rounds = 32;

std::uint32_t BigEndianWord(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | bytes[3];
}

void StoreBigEndian(std::uint32_t word, std::uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(word >> (24 - 8 * i));
    }
}

NameCipher::Block XorBlocks(NameCipher::Block a, const NameCipher::Block& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] ^= b[i];
    }
    return a;
}

} // namespace

NameCipher::NameCipher(std::string_view password) {
    const auto digest = Md5Digest(password);
    for (int i = 0; i < 4; ++i) {
        key_[i] = BigEndianWord(digest.data() + 4 * i);
    }
}

NameCipher::Block NameCipher::EncryptBlock(const Block& plain) const {
    std::uint32_t left = BigEndianWord(plain.data());
    std::uint32_t right = BigEndianWord(plain.data() + 4);
    std::uint32_t sum = 0;
    for (int i = 0; i < rounds; ++i) {
        sum += roundConstant;
        left += (right << 4) + (key_[0] ^ right) + (sum ^ (right >> 5)) + key_[1];
        right += (left << 4) + (key_[2] ^ left) + (sum ^ (left >> 5)) + key_[3];
    }
    Block out;
    StoreBigEndian(left, out.data());
    StoreBigEndian(right, out.data() + 4);
    return out;
}

NameCipher::Block NameCipher::DecryptBlock(const Block& cipher) const {
    std::uint32_t left = BigEndianWord(cipher.data());
    std::uint32_t right = BigEndianWord(cipher.data() + 4);
    std::uint32_t sum = roundConstant * rounds;
    for (int i = 0; i < rounds; ++i) {
        right -= (left << 4) + (key_[2] ^ left) + (sum ^ (left >> 5)) + key_[3];
        left -= (right << 4) + (key_[0] ^ right) + (sum ^ (right >> 5)) + key_[1];
        sum -= roundConstant;
    }
    Block out;
    StoreBigEndian(left, out.data());
    StoreBigEndian(right, out.data() + 4);
    return out;
}

namespace {

// Runs the chaining over whole blocks with the given block step, then the partial tail.
template <typename BlockStep>
std::vector<std::uint8_t> Chain(const NameCipher& cipher, std::span<const std::uint8_t> in,
                                BlockStep step) {
    std::vector<std::uint8_t> out(in.size());
    NameCipher::Block chaining = NameCipher::initialVector;
    std::size_t offset = 0;
    for (; offset + 8 <= in.size(); offset += 8) {
        NameCipher::Block block;
        std::copy_n(in.begin() + offset, 8, block.begin());
        const NameCipher::Block result = step(block, chaining);
        std::copy(result.begin(), result.end(), out.begin() + offset);
    }
    if (offset < in.size()) {
        const NameCipher::Block pad = cipher.EncryptBlock(chaining);
        for (std::size_t i = offset; i < in.size(); ++i) {
            out[i] = in[i] ^ pad[i - offset];
        }
    }
    return out;
}

} // namespace

std::vector<std::uint8_t> NameCipher::Encrypt(std::span<const std::uint8_t> plain) const {
    return Chain(*this, plain, [this](const Block& block, Block& chaining) {
        chaining = EncryptBlock(XorBlocks(block, chaining));
        return chaining;
    });
}

std::vector<std::uint8_t> NameCipher::Decrypt(std::span<const std::uint8_t> cipher) const {
    return Chain(*this, cipher, [this](const Block& block, Block& chaining) {
        const Block plain = XorBlocks(DecryptBlock(block), chaining);
        chaining = block;
        return plain;
    });
}

std::string Base64(std::span<const std::uint8_t> data) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < data.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, data.size() - i);
        std::uint32_t group = std::uint32_t{data[i]} << 16;
        if (count > 1) {
            group |= std::uint32_t{data[i + 1]} << 8;
        }
        if (count > 2) {
            group |= data[i + 2];
        }
        for (std::size_t j = 0; j < 4; ++j) {
            out += j <= count ? alphabet[(group >> (18 - 6 * j)) & 63] : '=';
        }
    }
    return out;
}

} // namespace faulttrap
