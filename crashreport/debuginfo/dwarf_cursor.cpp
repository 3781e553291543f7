#include "crashreport/debuginfo/dwarf_cursor.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <cstring>
#include <string>

namespace faulttrap {

DwarfCursor::DwarfCursor(std::span<const std::uint8_t> section, std::size_t position,
                         std::size_t limit)
    : section_(section), position_(position), limit_(limit) {
    if (limit_ > section_.size() || position_ > limit_) {
        throw DebugDataError("range outside the section");
    }
}

void DwarfCursor::CutShort(const char* what) {
    throw DebugDataError(std::string("cut short in ") + what);
}

void DwarfCursor::Require(std::uint64_t count, const char* what) const {
    if (count > limit_ - position_) {
        CutShort(what);
    }
}

std::uint64_t DwarfCursor::UnsignedOfSize(std::size_t size, const char* what) {
    if (size == 0 || size > 8) {
        throw DebugDataError(std::string("a number of ") + std::to_string(size) + " bytes in " +
                             what);
    }
    Require(size, what);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= std::uint64_t{section_[position_ + i]} << (8 * i);
    }
    position_ += size;
    return value;
}

std::uint16_t DwarfCursor::U16(const char* what) {
    return static_cast<std::uint16_t>(UnsignedOfSize(2, what));
}

std::uint32_t DwarfCursor::U32(const char* what) {
    return static_cast<std::uint32_t>(UnsignedOfSize(4, what));
}

std::uint64_t DwarfCursor::U64(const char* what) {
    return UnsignedOfSize(8, what);
}

std::uint64_t DwarfCursor::LongUleb(const char* what) {
    std::uint64_t value = 0;
    unsigned shift = 0;
    for (;;) {
        const std::uint8_t byte = U8(what);
        const std::uint64_t bits = byte & 0x7f;
        if (shift < 64 && (shift == 0 || bits >> (64 - shift) == 0)) {
            value |= bits << shift;
        } else if (bits != 0) {
            throw DebugDataError(std::string("a number over 64 bits in ") + what);
        }
        shift += 7;
        if (!(byte & 0x80)) {
            return value;
        }
    }
}

std::int64_t DwarfCursor::Sleb(const char* what) {
    std::uint64_t value = 0;
    unsigned shift = 0;
    std::uint8_t byte = 0;
    do {
        byte = U8(what);
        if (shift < 64) {
            value |= std::uint64_t{byte & 0x7fu} << shift;
        }
        shift += 7;
    } while (byte & 0x80);
    if (shift < 64 && (byte & 0x40)) {
        value |= ~std::uint64_t{0} << shift;
    }
    return static_cast<std::int64_t>(value);
}

std::string_view DwarfCursor::CString(const char* what) {
    Require(1, what);
    const auto* start = reinterpret_cast<const char*>(section_.data()) + position_;
    const void* end = std::memchr(start, '\0', limit_ - position_);
    if (end == nullptr) {
        throw DebugDataError(std::string("a string without its end in ") + what);
    }
    const std::string_view text(start, static_cast<const char*>(end) - start);
    position_ += text.size() + 1;
    return text;
}

void DwarfCursor::Skip(std::uint64_t count, const char* what) {
    Require(count, what);
    position_ += static_cast<std::size_t>(count);
}

std::string_view DwarfStringAt(std::span<const std::uint8_t> section, std::uint64_t offset,
                               const char* what) {
    if (offset >= section.size()) {
        throw DebugDataError(std::string("a string offset outside its section in ") + what);
    }
    DwarfCursor cursor(section, static_cast<std::size_t>(offset), section.size());
    return cursor.CString(what);
}

} // namespace faulttrap
