// Feeds arbitrary bytes to the line-table reader as a .debug_line section and, when it accepts
// them, looks up the start, middle and last address of every sequence it found. The first two
// bytes give the size of the string section that follows them (.debug_line_str, also used as
// .debug_str); the rest is .debug_line.
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/dwarf_line_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace faulttrap;
    const std::span<const std::uint8_t> input(bytes, size);
    if (input.size() < 2) {
        return 0;
    }
    const std::size_t stringsSize = std::min<std::size_t>(input[0] | input[1] << 8, size - 2);
    const std::span<const std::uint8_t> strings = input.subspan(2, stringsSize);
    const std::span<const std::uint8_t> line = input.subspan(2 + stringsSize);
    try {
        const DwarfLineTable table(DwarfLineSections{line, strings, strings, {}});
        std::size_t looked = 0;
        for (const DwarfLineTable::Sequence& sequence : table.Sequences()) {
            if (++looked > 1000) {
                break;
            }
            for (const std::uint64_t address :
                 {sequence.begin, sequence.begin + (sequence.end - sequence.begin) / 2,
                  sequence.end - 1, sequence.end}) {
                if (const auto row = table.Find(address)) {
                    (void)row->file.size();
                }
            }
        }
    } catch (const DebugDataError&) {
    }
    return 0;
}
