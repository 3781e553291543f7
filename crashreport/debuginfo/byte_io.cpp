#include "crashreport/debuginfo/byte_io.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <bit>
#include <string>

namespace faulttrap {

void ByteWriter::U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::F64(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    U32(static_cast<std::uint32_t>(bits));
    U32(static_cast<std::uint32_t>(bits >> 32));
}

void ByteWriter::Varint(std::uint64_t value) {
    while (value >= 0x80) {
        U8(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    U8(static_cast<std::uint8_t>(value));
}

void ByteWriter::Raw(std::span<const std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::Raw(std::string_view data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::PatchU32(std::size_t position, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes_.at(position + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void ByteReader::Require(std::size_t count, const char* what) const {
    if (count > Remaining()) {
        throw DebugDataError(std::string("truncated data: ") + what + " runs past the end");
    }
}

std::uint8_t ByteReader::U8(const char* what) {
    Require(1, what);
    return data_[position_++];
}

std::uint16_t ByteReader::U16(const char* what) {
    Require(2, what);
    const auto value = static_cast<std::uint16_t>(data_[position_] | data_[position_ + 1] << 8);
    position_ += 2;
    return value;
}

std::uint32_t ByteReader::U32(const char* what) {
    Require(4, what);
    const std::uint32_t low = U16(what);
    return low | static_cast<std::uint32_t>(U16(what)) << 16;
}

double ByteReader::F64(const char* what) {
    Require(8, what);
    const std::uint64_t low = U32(what);
    return std::bit_cast<double>(low | static_cast<std::uint64_t>(U32(what)) << 32);
}

std::uint64_t ByteReader::Varint(const char* what) {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const std::uint8_t group = U8(what);
        value |= std::uint64_t{group & 0x7Fu} << shift;
        if ((group & 0x80) == 0) {
            return value;
        }
    }
    throw DebugDataError(std::string("damaged data: ") + what + " is too long a number");
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count, const char* what) {
    Require(count, what);
    auto result = data_.subspan(position_, count);
    position_ += count;
    return result;
}

} // namespace faulttrap
