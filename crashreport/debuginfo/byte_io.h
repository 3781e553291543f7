#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace faulttrap {

// Appends little-endian integers and raw bytes to a growing buffer.
class ByteWriter {
public:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void F64(double value);
    // An unsigned number in 7-bit groups, low group first, bit 7 set on all but the last.
    void Varint(std::uint64_t value);
    void Raw(std::span<const std::uint8_t> data);
    void Raw(std::string_view data);

    // Overwrites four bytes already written, for lengths known only afterwards.
    void PatchU32(std::size_t position, std::uint32_t value);

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Reads little-endian integers from untrusted bytes; every read is bounds-checked and
// running past the end raises DebugDataError naming what was being read.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t U8(const char* what);
    std::uint16_t U16(const char* what);
    std::uint32_t U32(const char* what);
    double F64(const char* what);
    // At most ten groups; a longer or truncated number raises DebugDataError.
    std::uint64_t Varint(const char* what);
    std::span<const std::uint8_t> Bytes(std::size_t count, const char* what);

    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return data_.size() - position_; }
    bool AtEnd() const { return position_ == data_.size(); }

private:
    void Require(std::size_t count, const char* what) const;

    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

} // namespace faulttrap
