#include "crashreport/packaging/pkware_cipher.h"

#include <zlib.h>

#include <random>

namespace faulttrap {
namespace {

// One step of the CRC-32 register as the cipher uses it (no pre- or post-inversion).
std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) {
    static const z_crc_t* table = get_crc_table();
    return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

} // namespace

TPkwareCipher::TPkwareCipher(std::string_view password)
    : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
    for (const char c : password) {
        Update(static_cast<std::uint8_t>(c));
    }
}

std::uint8_t TPkwareCipher::KeyByte() const {
    const std::uint32_t temp = (keys_[2] | 2) & 0xFFFF;
    return static_cast<std::uint8_t>((temp * (temp ^ 1)) >> 8);
}

void TPkwareCipher::Update(std::uint8_t plain) {
    keys_[0] = CrcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcStep(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

std::uint8_t TPkwareCipher::EncryptByte(std::uint8_t plain) {
    const std::uint8_t cipher = plain ^ KeyByte();
    Update(plain);
    return cipher;
}

std::string TPkwareCipher::Header(std::uint32_t crc) {
    std::random_device random;
    std::string header(HeaderSize, '\0');
    for (std::size_t i = 0; i + 1 < HeaderSize; ++i) {
        header[i] = static_cast<char>(random() & 0xFF);
    }
    header[HeaderSize - 1] = static_cast<char>(crc >> 24);
    Encrypt(header);
    return header;
}

void TPkwareCipher::Encrypt(std::string& bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(EncryptByte(static_cast<std::uint8_t>(c)));
    }
}

} // namespace faulttrap
