#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
    std::span<const std::uint8_t> aranges; // .debug_aranges: which unit holds an address
};

// The line tables of a whole .debug_line section (DWARF versions 2 to 5, 32- and 64-bit
// units), read without the rest of the file's DWARF. The full index reads every unit's header
// and runs its line program once, keeping only where each sequence of rows begins and ends; a
// lookup runs the one sequence that holds the address again.
// With address ranges whose sets match the line units one to one (the n-th unit of .debug_info
// owns the n-th line table, as compilers and linkers lay them out), only the unit holding the
// address is indexed, on its first lookup; an address outside the ranges, or a unit that does
// not hold what its range claims, falls back to the full index.
// The sections are outside input: anything malformed in the full index raises DebugDataError
// saying which unit and what is wrong (at construction without usable ranges, else on the
// report path, where it only makes the lookup fail).
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
    std::optional<Row> Find(std::uint64_t address) const;

    struct Sequence {
        std::uint64_t begin = 0;
        std::uint64_t end = 0; // the first address after it
        std::size_t unit = 0;
        std::size_t program = 0; // where the sequence's first instruction is in .debug_line
    };
    // The address ranges the table covers, sorted by their beginning: the full index, built
    // now if it was not (empty when the section is malformed and ranges were used).
    const std::vector<Sequence>& Sequences() const;
    std::size_t SequenceCount() const { return Sequences().size(); }

private:
    struct Unit;
    struct State;
    struct Lazy;

    // The header of the unit at `offset`; its programEnd is where the following unit begins.
    Unit ReadUnitHeader(std::size_t offset) const;
    // Its length, version and where its program begins; `fieldsBegin` is set to where the
    // rest of the header begins.
    Unit ReadUnitFrame(std::size_t offset, std::size_t& fieldsBegin) const;
    void ReadUnitFields(Unit& unit, std::size_t fieldsBegin) const;
    // Appends the unit's sequences, numbered as unit `unitIndex`.
    void IndexUnit(const Unit& unit, std::size_t unitIndex, std::vector<Sequence>& into) const;
    void BuildFullIndex() const;
    bool UseRanges();
    const std::vector<Sequence>& FullIndex() const;
    // The row in the unit the ranges give for the address; `decided` is set when that unit's
    // answer, found or not, stands without the full index.
    std::optional<Row> FindInUnitOfRange(std::uint64_t address, bool& decided) const;
    // The row in sorted sequences; unitOf gives the Unit of a sequence's unit number.
    template <typename UnitOf>
    std::optional<Row> FindIn(const std::vector<Sequence>& sequences,
                              const std::vector<std::uint64_t>& reach, UnitOf&& unitOf,
                              std::uint64_t address) const;
    // Runs the unit's program from `from` to the end of one sequence (or of the program).
    // onRow sees every row, the end-of-sequence row last; whether a sequence was ended.
    template <typename OnRow>
    bool RunSequence(const Unit& unit, DwarfCursor& program, OnRow&& onRow) const;

    DwarfLineSections sections_;
    // The full index; with usable ranges built on the first lookup that needs it.
    mutable std::vector<Unit> units_;
    mutable std::vector<Sequence> sequences_;  // sorted by begin
    mutable std::vector<std::uint64_t> reach_; // the furthest end of sequences_[0 .. i]
    std::unique_ptr<Lazy> lazy_;               // with usable ranges
};

} // namespace faulttrap
