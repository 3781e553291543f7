#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace faulttrap {

// Reads DWARF's little-endian integers, LEB128 numbers and strings from untrusted bytes,
// within [position, limit) of a section. Every read is bounds-checked: running past the limit,
// a string without its end or a number over 64 bits raises DebugDataError naming what was
// being read.
class DwarfCursor {
public:
    DwarfCursor(std::span<const std::uint8_t> section, std::size_t position, std::size_t limit);

    // Inline: the line programs are read a byte at a time.
    std::uint8_t U8(const char* what) {
        if (position_ == limit_) {
            CutShort(what);
        }
        return section_[position_++];
    }
    std::uint16_t U16(const char* what);
    std::uint32_t U32(const char* what);
    std::uint64_t U64(const char* what);
    // A little-endian number of `size` bytes (1 to 8).
    std::uint64_t UnsignedOfSize(std::size_t size, const char* what);
    std::uint64_t Uleb(const char* what) {
        if (position_ != limit_ && section_[position_] < 0x80) {
            return section_[position_++];
        }
        return LongUleb(what);
    }
    std::int64_t Sleb(const char* what);
    std::string_view CString(const char* what);
    void Skip(std::uint64_t count, const char* what);

    std::size_t Position() const { return position_; }
    std::size_t Limit() const { return limit_; }
    std::size_t Remaining() const { return limit_ - position_; }
    bool AtLimit() const { return position_ == limit_; }

private:
    void Require(std::uint64_t count, const char* what) const;
    [[noreturn]] static void CutShort(const char* what);
    std::uint64_t LongUleb(const char* what);

    std::span<const std::uint8_t> section_;
    std::size_t position_;
    std::size_t limit_;
};

// The NUL-terminated string at `offset` of a string section (.debug_str, .debug_line_str).
std::string_view DwarfStringAt(std::span<const std::uint8_t> section, std::uint64_t offset,
                               const char* what);

} // namespace faulttrap
