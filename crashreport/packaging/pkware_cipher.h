#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace faulttrap {

// The traditional PKWARE stream cipher of ZIP entries (three keys driven by CRC-32).
class TPkwareCipher {
public:
    static constexpr std::size_t HeaderSize = 12;

    explicit TPkwareCipher(std::string_view password);

    // The 12-byte encryption header of an entry whose CRC-32 (of the uncompressed data) is
    // `crc`: eleven random bytes and the CRC's high byte, already encrypted.
    std::string Header(std::uint32_t crc);
    // Encrypts `bytes` in place, continuing the key stream.
    void Encrypt(std::string& bytes);

private:
    std::uint8_t KeyByte() const;
    void Update(std::uint8_t plain);
    std::uint8_t EncryptByte(std::uint8_t plain);

    std::array<std::uint32_t, 3> keys_;
};

} // namespace faulttrap
