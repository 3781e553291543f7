#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace faulttrap {

// One address range of .debug_aranges and the .debug_info unit that holds its code.
struct DwarfAddressRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0; // the first address after it
    std::uint64_t unitOffset = 0;
};

struct DwarfAddressRanges {
    std::vector<DwarfAddressRange> ranges;  // the non-empty ones, in the section's order
    std::vector<std::uint64_t> unitOffsets; // of every set, empty ones included
};

// The sets of a .debug_aranges section (version 2, 32- and 64-bit sets, addresses of 1 to 8
// bytes, no segment selectors). The section is outside input: anything malformed raises
// DebugDataError saying which set and what is wrong.
DwarfAddressRanges ReadDwarfAddressRanges(std::span<const std::uint8_t> section);

} // namespace faulttrap
