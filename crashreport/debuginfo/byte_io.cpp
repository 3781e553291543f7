#include "crashreport/debuginfo/byte_io.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <bit>
#include <string>

namespace faulttrap {

void ByteWriter::u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::f64(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    u32(static_cast<std::uint32_t>(bits));
    u32(static_cast<std::uint32_t>(bits >> 32));
}

void ByteWriter::varint(std::uint64_t value) {
    while (value >= 0x80) {
        u8(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    u8(static_cast<std::uint8_t>(value));
}

void ByteWriter::raw(std::span<const std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::raw(std::string_view data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::patchU32(std::size_t position, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes_.at(position + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void ByteReader::require(std::size_t count, const char* what) const {
    if (count > remaining())
        throw DebugDataError(std::string("truncated data: ") + what + " runs past the end");
}

std::uint8_t ByteReader::u8(const char* what) {
    require(1, what);
    return data_[position_++];
}

std::uint16_t ByteReader::u16(const char* what) {
    require(2, what);
    const auto value = static_cast<std::uint16_t>(data_[position_] | data_[position_ + 1] << 8);
    position_ += 2;
    return value;
}

std::uint32_t ByteReader::u32(const char* what) {
    require(4, what);
    const std::uint32_t low = u16(what);
    return low | static_cast<std::uint32_t>(u16(what)) << 16;
}

double ByteReader::f64(const char* what) {
    require(8, what);
    const std::uint64_t low = u32(what);
    return std::bit_cast<double>(low | static_cast<std::uint64_t>(u32(what)) << 32);
}

std::uint64_t ByteReader::varint(const char* what) {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const std::uint8_t group = u8(what);
        value |= std::uint64_t{group & 0x7Fu} << shift;
        if ((group & 0x80) == 0)
            return value;
    }
    throw DebugDataError(std::string("damaged data: ") + what + " is too long a number");
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t count, const char* what) {
    require(count, what);
    auto result = data_.subspan(position_, count);
    position_ += count;
    return result;
}

} // namespace faulttrap
