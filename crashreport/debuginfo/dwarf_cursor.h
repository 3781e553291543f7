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
    std::uint8_t u8(const char* what) {
        if (position_ == limit_)
            cutShort(what);
        return section_[position_++];
    }
    std::uint16_t u16(const char* what);
    std::uint32_t u32(const char* what);
    std::uint64_t u64(const char* what);
    // A little-endian number of `size` bytes (1 to 8).
    std::uint64_t unsignedOfSize(std::size_t size, const char* what);
    std::uint64_t uleb(const char* what) {
        if (position_ != limit_ && section_[position_] < 0x80)
            return section_[position_++];
        return longUleb(what);
    }
    std::int64_t sleb(const char* what);
    std::string_view cString(const char* what);
    void skip(std::uint64_t count, const char* what);

    std::size_t position() const { return position_; }
    std::size_t limit() const { return limit_; }
    std::size_t remaining() const { return limit_ - position_; }
    bool atLimit() const { return position_ == limit_; }

private:
    void require(std::uint64_t count, const char* what) const;
    [[noreturn]] static void cutShort(const char* what);
    std::uint64_t longUleb(const char* what);

    std::span<const std::uint8_t> section_;
    std::size_t position_;
    std::size_t limit_;
};

// The NUL-terminated string at `offset` of a string section (.debug_str, .debug_line_str).
std::string_view dwarfStringAt(std::span<const std::uint8_t> section, std::uint64_t offset,
                               const char* what);

} // namespace faulttrap
