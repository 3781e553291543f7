#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace faulttrap {

class DwarfCursor;

// The sections a line table reads; the table keeps views into them, so they must outlive it.
struct DwarfLineSections {
    std::span<const std::uint8_t> line;    // .debug_line
    std::span<const std::uint8_t> lineStr; // .debug_line_str: DWARF 5 names
    std::span<const std::uint8_t> str;     // .debug_str: DWARF 5 names of the older form
};

// The line tables of a whole .debug_line section (DWARF versions 2 to 5, 32- and 64-bit
// units), read without the rest of the file's DWARF. Building it reads every unit's header
// and runs its line program once, keeping only where each sequence of rows begins and ends; a
// lookup runs the one sequence that holds the address again. The section is outside input:
// anything malformed raises DebugDataError saying which unit and what is wrong.
class DwarfLineTable {
public:
    struct Row {
        std::string_view file; // as the table names it, folders included
        std::uint32_t line = 0;
    };

    explicit DwarfLineTable(DwarfLineSections sections);
    ~DwarfLineTable();
    DwarfLineTable(DwarfLineTable&&) noexcept;
    DwarfLineTable& operator=(DwarfLineTable&&) noexcept;

    // The row that covers the address: the last row at or before it of the sequence holding
    // it (of several rows at one address, the last). nullopt outside every sequence.
    std::optional<Row> find(std::uint64_t address) const;

    struct Sequence {
        std::uint64_t begin = 0;
        std::uint64_t end = 0; // the first address after it
        std::size_t unit = 0;
        std::size_t program = 0; // where the sequence's first instruction is in .debug_line
    };
    // The address ranges the table covers, sorted by their beginning.
    const std::vector<Sequence>& sequences() const { return sequences_; }
    std::size_t sequenceCount() const { return sequences_.size(); }

private:
    struct Unit;
    struct State;

    void readUnit(DwarfCursor& section);
    // Runs the unit's program from `from` to the end of one sequence (or of the program).
    // onRow sees every row, the end-of-sequence row last; whether a sequence was ended.
    template <typename OnRow>
    bool runSequence(const Unit& unit, DwarfCursor& program, OnRow&& onRow) const;

    DwarfLineSections sections_;
    std::vector<Unit> units_;
    std::vector<Sequence> sequences_;  // sorted by begin
    std::vector<std::uint64_t> reach_; // the furthest end of sequences_[0 .. i]
};

} // namespace faulttrap
