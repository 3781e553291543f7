#pragma once

// Hand-made .debug_line units for the line-table reader's tests: a unit of any version from 2
// to 5, 32- or 64-bit, and the steps of its line program; with switches that damage the
// header in the ways a bounds check must catch.

#include "crashreport/debuginfo/dwarf_line_table.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace faulttrap::testing_bytes {

struct LineUnit {
    int version = 4;
    bool dwarf64 = false;
    std::int8_t lineBase = -5;
    std::uint8_t lineRange = 14;
    std::uint8_t opcodeBase = 13;
    std::uint8_t maximumOperations = 1;
    std::vector<std::string> files; // numbered from 1 as the program sees them
    std::vector<std::uint8_t> program;
    // Damage, for the malformed cases.
    bool touched = false;
    bool cutFileTable = false;     // the header ends inside the last file name
    std::uint64_t pathForm = 0x1f; // DWARF 5: the form of the file names (line_strp)
    bool nameOffsetBeyond = false; // DWARF 5: a name offset past .debug_line_str
    std::uint64_t fileCountOverride = 0;
};

class Program {
public:
    explicit Program(const LineUnit& unit) : unit_(unit) {}
    void SetAddress(std::uint64_t address);
    void Copy() { bytes_.push_back(1); }
    void AdvancePc(std::uint64_t operations);
    void AdvanceLine(std::int64_t lines);
    void SetFile(std::uint64_t file);
    void ConstAddPc() { bytes_.push_back(8); }
    void FixedAdvancePc(std::uint16_t bytes);
    // A special opcode: one row after advancing the address and the line.
    void Special(unsigned addressAdvance, int lineAdvance);
    void EndSequence();
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    LineUnit unit_;
    std::vector<std::uint8_t> bytes_;
};

struct Sections {
    std::vector<std::uint8_t> line;
    std::vector<std::uint8_t> lineStr;
    std::vector<std::uint8_t> aranges;
    DwarfLineSections View() const { return {line, lineStr, {}, aranges}; }
};

// One set of .debug_aranges: the .debug_info unit it names and its ranges.
struct AddressSet {
    std::uint64_t unitOffset = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges; // address, length
    bool dwarf64 = false;
    std::uint16_t version = 2;
    std::uint8_t segmentSelectorSize = 0;
};

// The sets one after another, 8-byte addresses, each ended by the pair (0, 0).
std::vector<std::uint8_t> EncodeAddressSets(const std::vector<AddressSet>& sets);

// The units one after another in .debug_line; DWARF 5 names go to .debug_line_str.
Sections Encode(const std::vector<LineUnit>& units);

void AppendUleb(std::vector<std::uint8_t>& out, std::uint64_t value);
void AppendSleb(std::vector<std::uint8_t>& out, std::int64_t value);

} // namespace faulttrap::testing_bytes
