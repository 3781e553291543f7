#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// The cipher of the names in the compact debug information and of the password check
// value: a 64-bit block cipher (two big-endian 32-bit halves, 32 rounds) keyed with the
// MD5 digest of the password, in cipher-block chaining from a fixed initial vector; a
// final partial block is XORed with the encryption of the last chaining value, so the
// output is as long as the input.
class NameCipher {
public:
    using Block = std::array<std::uint8_t, 8>;
    static constexpr Block initialVector{0x46, 0x54, 0x2D, 0x44, 0x45, 0x42, 0x55, 0x47};

    // Raises DebugDataError when the digest's library cannot be loaded.
    explicit NameCipher(std::string_view password);

    Block EncryptBlock(const Block& plain) const;
    Block DecryptBlock(const Block& cipher) const;

    std::vector<std::uint8_t> Encrypt(std::span<const std::uint8_t> plain) const;
    std::vector<std::uint8_t> Decrypt(std::span<const std::uint8_t> cipher) const;

private:
    std::array<std::uint32_t, 4> key_{};
};

// Standard Base64 with "=" padding, for names that cannot be decrypted.
std::string Base64(std::span<const std::uint8_t> data);

} // namespace faulttrap
