// Feeds arbitrary bytes to the line-table reader as .debug_aranges and .debug_line sections and
// looks up what the ranges claim before what the sequences cover, so that the per-unit path
// runs before the full index. The first two bytes give the size of the .debug_aranges part that
// follows them; the next two the size of the string section after it (.debug_line_str, also
// used as .debug_str); the rest is .debug_line.
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/dwarf_address_ranges.h"
#include "crashreport/debuginfo/dwarf_line_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace {

std::span<const std::uint8_t> TakeSized(std::span<const std::uint8_t>& input) {
    if (input.size() < 2) {
        return input = {};
    }
    const std::size_t size = std::min<std::size_t>(input[0] | input[1] << 8, input.size() - 2);
    const std::span<const std::uint8_t> part = input.subspan(2, size);
    input = input.subspan(2 + size);
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace faulttrap;
    std::span<const std::uint8_t> input(bytes, size);
    const std::span<const std::uint8_t> aranges = TakeSized(input);
    const std::span<const std::uint8_t> strings = TakeSized(input);
    const std::span<const std::uint8_t> line = input;
    std::vector<DwarfAddressRange> ranges;
    try {
        ranges = ReadDwarfAddressRanges(aranges).ranges;
    } catch (const DebugDataError&) {
    }
    try {
        const DwarfLineTable table(DwarfLineSections{line, strings, strings, aranges});
        std::size_t looked = 0;
        for (const DwarfAddressRange& range : ranges) {
            if (++looked > 1000) {
                break;
            }
            for (const std::uint64_t address :
                 {range.begin, range.begin + (range.end - range.begin) / 2, range.end - 1}) {
                if (const auto row = table.Find(address)) {
                    (void)row->file.size();
                }
            }
        }
        for (const DwarfLineTable::Sequence& sequence : table.Sequences()) {
            if (++looked > 2000) {
                break;
            }
            if (const auto row = table.Find(sequence.begin)) {
                (void)row->file.size();
            }
        }
    } catch (const DebugDataError&) {
    }
    return 0;
}
