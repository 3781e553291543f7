#include "crashreport/debuginfo/dwarf_address_ranges.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/dwarf_cursor.h"

#include <string>

namespace faulttrap {

namespace {

void ReadSet(std::span<const std::uint8_t> bytes, DwarfCursor& section,
             DwarfAddressRanges& ranges) {
    const std::size_t setBegin = section.Position();
    std::size_t offsetSize = 4;
    std::uint64_t length = section.U32("the set length");
    if (length == 0xffffffff) {
        length = section.U64("the set length");
        offsetSize = 8;
    } else if (length >= 0xfffffff0) {
        throw DebugDataError("a reserved set length");
    }
    if (length > section.Remaining()) {
        throw DebugDataError("a set length of " + std::to_string(length) +
                             " bytes, past the section's end");
    }
    const std::size_t setEnd = section.Position() + static_cast<std::size_t>(length);
    DwarfCursor fields(bytes, section.Position(), setEnd);
    section.Skip(length, "the set");

    const std::uint16_t version = fields.U16("the version");
    if (version != 2) {
        throw DebugDataError("version " + std::to_string(version) + " is not supported");
    }
    const std::uint64_t unitOffset = fields.UnsignedOfSize(offsetSize, "the unit offset");
    ranges.unitOffsets.push_back(unitOffset);
    const std::uint8_t addressSize = fields.U8("the address size");
    if (addressSize == 0 || addressSize > 8) {
        throw DebugDataError("an address size of " + std::to_string(addressSize));
    }
    if (fields.U8("the segment selector size") != 0) {
        throw DebugDataError("segment selectors are not supported");
    }
    // The tuples are aligned to twice the address size from the set's beginning.
    const std::size_t tupleSize = 2u * addressSize;
    const std::size_t misalignment = (fields.Position() - setBegin) % tupleSize;
    if (misalignment != 0) {
        fields.Skip(tupleSize - misalignment, "the padding");
    }
    while (!fields.AtLimit()) {
        const std::uint64_t begin = fields.UnsignedOfSize(addressSize, "an address");
        const std::uint64_t size = fields.UnsignedOfSize(addressSize, "a length");
        if (begin == 0 && size == 0) {
            return;
        }
        if (size > ~begin) {
            throw DebugDataError("a range past the end of the address space");
        }
        // A range at address 0 is code the linker discarded.
        if (size != 0 && begin != 0) {
            ranges.ranges.push_back({begin, begin + size, unitOffset});
        }
    }
}

} // namespace

DwarfAddressRanges ReadDwarfAddressRanges(std::span<const std::uint8_t> section) {
    DwarfAddressRanges ranges;
    DwarfCursor cursor(section, 0, section.size());
    while (!cursor.AtLimit()) {
        const std::size_t offset = cursor.Position();
        try {
            ReadSet(section, cursor, ranges);
        } catch (const DebugDataError& error) {
            throw DebugDataError(".debug_aranges set at " + std::to_string(offset) + ": " +
                                 error.what());
        }
    }
    return ranges;
}

} // namespace faulttrap
