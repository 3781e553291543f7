// The own line-table reader: hand-made tables of every DWARF version it reads, each malformed
// shape refused with a message that says what is wrong, and the C library's real table read
// the same as libdw reads it.

#include "crashreport/debuginfo/tests/dwarf_line_bytes.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/dwarf_line_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace faulttrap {
namespace {

using testing_bytes::LineUnit;

// One sequence over 0x1000 .. 0x1030: every kind of step the programs use.
std::vector<std::uint8_t> SampleProgram(const LineUnit& unit) {
    testing_bytes::Program p(unit);
    p.SetAddress(0x1000);
    p.Copy();            // 0x1000 line 1
    p.Special(4, 8);     // 0x1004 line 9
    p.AdvancePc(0x10);   //
    p.AdvanceLine(20);   //
    p.Copy();            // 0x1014 line 29
    p.SetFile(2);        //
    p.Special(4, 0);     // 0x1018 line 29, the second file
    p.ConstAddPc();      // +17
    p.AdvanceLine(-28);  //
    p.Copy();            // 0x1029 line 1 (second file)
    p.AdvanceLine(5);    //
    p.Copy();            // 0x1029 line 6: of two rows at one address the last counts
    p.FixedAdvancePc(3); //
    p.SetFile(1);        //
    p.Copy();            // 0x102c line 6, the first file
    p.AdvancePc(4);      //
    p.EndSequence();     // 0x1030
    return p.Bytes();
}

struct Expected {
    std::uint64_t address;
    std::string file; // empty: no row
    std::uint32_t line;
};

const std::vector<Expected>& SampleRows() {
    static const std::vector<Expected> rows = {
        {0x0fff, "", 0},        {0x1000, "main.c", 1},  {0x1003, "main.c", 1},
        {0x1004, "main.c", 9},  {0x1013, "main.c", 9},  {0x1014, "main.c", 29},
        {0x1018, "util.h", 29}, {0x1028, "util.h", 29}, {0x1029, "util.h", 6},
        {0x102b, "util.h", 6},  {0x102c, "main.c", 6},  {0x102f, "main.c", 6},
        {0x1030, "", 0},
    };
    return rows;
}

struct Shape {
    int version;
    bool dwarf64;
};

class LineTableVersions : public ::testing::TestWithParam<Shape> {};

TEST_P(LineTableVersions, FindsEveryRowOfTheSequence) {
    LineUnit unit;
    unit.version = GetParam().version;
    unit.dwarf64 = GetParam().dwarf64;
    // DWARF 2 knew nine standard opcodes; 10 to 12 are special ones there.
    unit.opcodeBase = unit.version == 2 ? 10 : 13;
    unit.files = {"src/main.c", "include/util.h"};
    unit.program = SampleProgram(unit);
    const testing_bytes::Sections sections = testing_bytes::Encode({unit});
    const DwarfLineTable table(sections.View());
    EXPECT_EQ(table.SequenceCount(), 1u);
    for (const Expected& expected : SampleRows()) {
        const auto row = table.Find(expected.address);
        if (expected.file.empty()) {
            EXPECT_FALSE(row) << std::hex << expected.address;
            continue;
        }
        ASSERT_TRUE(row) << std::hex << expected.address;
        EXPECT_EQ(row->line, expected.line) << std::hex << expected.address;
        EXPECT_TRUE(row->file.ends_with(expected.file)) << row->file;
    }
}

INSTANTIATE_TEST_SUITE_P(AllVersions, LineTableVersions,
                         ::testing::Values(Shape{2, false}, Shape{3, false}, Shape{4, false},
                                           Shape{5, false}, Shape{4, true}, Shape{5, true}));

// Three units, each with two sequences: one discarded by the linker (address 0), overlapping
// ranges at 0x9000.
std::vector<LineUnit> ThreeUnits() {
    std::vector<LineUnit> units(3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i].version = 5;
        units[i].files = {"unit" + std::to_string(i) + ".c"};
        testing_bytes::Program p(units[i]);
        p.SetAddress(i == 1 ? 0 : 0x2000 * (i + 1));
        p.AdvanceLine(static_cast<int>(100 * i));
        p.Copy();
        p.AdvancePc(0x100);
        p.EndSequence();
        p.SetAddress(0x9000 + 0x10 * i);
        p.Copy();
        p.AdvancePc(0x40);
        p.EndSequence();
        units[i].program = p.Bytes();
    }
    return units;
}

// at9015: which of the overlapping units answers there; the full index takes the nearest
// beginning.
void ExpectRowsOfThreeUnits(const DwarfLineTable& table, const std::string& at9015 = "unit1.c") {
    EXPECT_EQ(table.Find(0x2080)->file, "unit0.c");
    EXPECT_EQ(table.Find(0x2080)->line, 1u);
    EXPECT_EQ(table.Find(0x6000)->file, "unit2.c");
    EXPECT_EQ(table.Find(0x6000)->line, 201u);
    EXPECT_FALSE(table.Find(0x0050)); // the discarded code of unit 1
    // 0x9000 .. 0x9040, 0x9010 .. 0x9050, 0x9020 .. 0x9060: the nearest beginning wins.
    EXPECT_EQ(table.Find(0x9015)->file, at9015);
    EXPECT_EQ(table.Find(0x9045)->file, "unit2.c");
    EXPECT_FALSE(table.Find(0x9060));
    EXPECT_FALSE(table.Find(0x100000));
    EXPECT_FALSE(table.Find(0x4000)); // within a range below, but no unit's code
}

TEST(LineTable, FindsTheSequenceOfItsUnitAmongMany) {
    const testing_bytes::Sections sections = testing_bytes::Encode(ThreeUnits());
    const DwarfLineTable table(sections.View());
    EXPECT_EQ(table.SequenceCount(), 5u);
    ExpectRowsOfThreeUnits(table);
}

using testing_bytes::AddressSet;

// The address ranges of threeUnits() as a compiler lays them out: the n-th .debug_info unit
// owns the n-th line table.
std::vector<AddressSet> RangesOfThreeUnits() {
    return {{0x00, {{0x2000, 0x100}, {0x9000, 0x40}}},
            {0x40, {{0x9010, 0x40}}},
            {0x90, {{0x6000, 0x100}, {0x9020, 0x40}, {0x3000, 0x1400}}}};
}

struct RangeShape {
    std::string name;
    std::vector<AddressSet> sets;
    std::size_t cutTo = 0; // the section cut to this many bytes, when not 0
    std::string at9015 = "unit1.c";
};

std::ostream& operator<<(std::ostream& out, const RangeShape& shape) {
    return out << shape.name;
}

class LineTableWithRanges : public ::testing::TestWithParam<RangeShape> {};

// Whether the ranges fit the units or not, every lookup gives what the full index gives, but
// where the code of two units overlaps.
TEST_P(LineTableWithRanges, FindsWhatTheFullIndexFinds) {
    testing_bytes::Sections sections = testing_bytes::Encode(ThreeUnits());
    sections.aranges = testing_bytes::EncodeAddressSets(GetParam().sets);
    if (GetParam().cutTo != 0) {
        sections.aranges.resize(GetParam().cutTo);
    }
    const DwarfLineTable table(sections.View());
    ExpectRowsOfThreeUnits(table, GetParam().at9015);
    EXPECT_EQ(table.SequenceCount(), 5u);
}

std::vector<AddressSet> SwappedUnits() {
    std::vector<AddressSet> sets = RangesOfThreeUnits();
    std::swap(sets[0].unitOffset, sets[2].unitOffset);
    return sets;
}

std::vector<AddressSet> SixtyFourBit() {
    std::vector<AddressSet> sets = RangesOfThreeUnits();
    for (AddressSet& set : sets) {
        set.dwarf64 = true;
    }
    return sets;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LineTableWithRanges,
    ::testing::Values(RangeShape{"fitting", RangesOfThreeUnits()},
                      RangeShape{"sixty_four_bit", SixtyFourBit()},
                      RangeShape{"units_swapped", SwappedUnits()},
                      RangeShape{"a_set_missing",
                                 {RangesOfThreeUnits()[0], RangesOfThreeUnits()[2]}},
                      // Units' code overlaps only in damaged files: where the ranges name
                      // unit 0 alone, its answer stands.
                      RangeShape{"a_set_without_ranges",
                                 {RangesOfThreeUnits()[0], {0x40, {}}, RangesOfThreeUnits()[2]},
                                 0,
                                 "unit0.c"},
                      RangeShape{"cut_short", RangesOfThreeUnits(), 40},
                      RangeShape{"version_3", {{0, {{0x2000, 0x100}}, false, 3}}},
                      RangeShape{"segment_selectors", {{0, {{0x2000, 0x100}}, false, 2, 4}}}),
    [](const ::testing::TestParamInfo<RangeShape>& info) { return info.param.name; });

// With fitting ranges only the unit an address needs is read: a damaged other unit neither
// stops the table from being built nor the lookups in the sound ones.
TEST(LineTable, WithRangesReadsOnlyTheUnitsItLooksIn) {
    std::vector<LineUnit> units = ThreeUnits();
    units[1].program = {0, 0x7f, 2}; // an extended opcode longer than the unit
    testing_bytes::Sections sections = testing_bytes::Encode(units);
    sections.aranges = testing_bytes::EncodeAddressSets(RangesOfThreeUnits());
    const DwarfLineTable table(sections.View());
    EXPECT_EQ(table.Find(0x2080)->file, "unit0.c");
    EXPECT_EQ(table.Find(0x6000)->line, 201u);
    EXPECT_FALSE(table.Find(0x9015)); // unit 1's range: its bytes are damaged
    // The full index cannot be built from a damaged section; it has no sequences then.
    EXPECT_EQ(table.SequenceCount(), 0u);
    sections.aranges.clear();
    EXPECT_THROW(DwarfLineTable{sections.View()}, DebugDataError);
}

TEST(LineTable, AnEmptySectionHasNoRows) {
    const DwarfLineTable table(DwarfLineSections{});
    EXPECT_EQ(table.SequenceCount(), 0u);
    EXPECT_FALSE(table.Find(0x1000));
}

struct Malformed {
    std::string name;
    int version;
    // Changes the encoded unit (its bytes from the unit length on) or the program.
    void (*damage)(LineUnit& unit, std::vector<std::uint8_t>& line);
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const Malformed& malformed) {
    return out << malformed.name;
}

class MalformedLineTables : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedLineTables, AreRefusedWithAClearMessage) {
    const Malformed& malformed = GetParam();
    LineUnit unit;
    unit.version = malformed.version;
    unit.files = {"main.c", "util.h"};
    unit.program = SampleProgram(unit);
    testing_bytes::Sections sections = testing_bytes::Encode({unit});
    malformed.damage(unit, sections.line);
    if (unit.touched) {
        sections = testing_bytes::Encode({unit});
    }
    try {
        const DwarfLineTable table(sections.View());
        FAIL() << "accepted";
    } catch (const DebugDataError& error) {
        const std::string text = error.what();
        EXPECT_TRUE(text.starts_with(".debug_line unit at 0x0: ")) << text;
        EXPECT_NE(text.find(malformed.message), std::string::npos) << text;
    }
}

void SetByte(std::vector<std::uint8_t>& line, std::size_t at, std::uint8_t value) {
    line.at(at) = value;
}

INSTANTIATE_TEST_SUITE_P(Shapes, MalformedLineTables,
                         ::testing::Values(
                             Malformed{"version_99", 4,
                                       [](LineUnit&, std::vector<std::uint8_t>& line) {
                                           SetByte(line, 4, 99);
                                       },
                                       "version 99 is not supported"},
                             Malformed{"version_1", 4,
                                       [](LineUnit&, std::vector<std::uint8_t>& line) {
                                           SetByte(line, 4, 1);
                                       },
                                       "version 1 is not supported"},
                             Malformed{"length_past_section", 4,
                                       [](LineUnit&, std::vector<std::uint8_t>& line) {
                                           SetByte(line, 3, 0x10);
                                       },
                                       "past the section's end"},
                             Malformed{"reserved_length", 4,
                                       [](LineUnit&, std::vector<std::uint8_t>& line) {
                                           line[0] = 0xf0;
                                           line[1] = line[2] = line[3] = 0xff;
                                       },
                                       "the reserved unit length 0xfffffff0"},
                             Malformed{
                                 "cut_in_length", 4,
                                 [](LineUnit&, std::vector<std::uint8_t>& line) { line.resize(3); },
                                 "cut short in the unit length"},
                             Malformed{"header_past_unit", 4,
                                       [](LineUnit&, std::vector<std::uint8_t>& line) {
                                           SetByte(line, 9, 0x7f);
                                       },
                                       "past the unit's end"},
                             Malformed{"line_range_0", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.lineRange = 0;
                                           unit.touched = true;
                                       },
                                       "a line range of 0"},
                             Malformed{"opcode_base_0", 3,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.opcodeBase = 0;
                                           unit.touched = true;
                                       },
                                       "an opcode base of 0"},
                             Malformed{"no_operations", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.maximumOperations = 0;
                                           unit.touched = true;
                                       },
                                       "a maximum of 0 operations"},
                             Malformed{"file_name_without_end", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.cutFileTable = true;
                                           unit.touched = true;
                                       },
                                       "without its end in the file table"},
                             Malformed{"unknown_entry_form", 5,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.pathForm = 0x25; // strx1 needs .debug_str_offsets
                                           unit.touched = true;
                                       },
                                       "a path of the form 0x25, which is not a string"},
                             Malformed{"name_offset_outside", 5,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.nameOffsetBeyond = true;
                                           unit.touched = true;
                                       },
                                       "a string offset outside its section in .debug_line_str"},
                             Malformed{"huge_entry_count", 5,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.fileCountOverride = 1u << 30;
                                           unit.touched = true;
                                       },
                                       "that the header cannot hold"},
                             Malformed{"extended_opcode_past_unit", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.program = {0, 0x7f, 2};
                                           unit.touched = true;
                                       },
                                       "an extended opcode longer than the unit"},
                             Malformed{"address_of_nine_bytes", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.program = {0, 10, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9};
                                           unit.touched = true;
                                       },
                                       "a number of 9 bytes in an address"},
                             Malformed{"number_over_64_bits", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.program = {2,    0xff, 0xff, 0xff, 0xff, 0xff,
                                                           0xff, 0xff, 0xff, 0xff, 0x7f};
                                           unit.touched = true;
                                       },
                                       "a number over 64 bits in an address advance"},
                             Malformed{"operand_cut", 4,
                                       [](LineUnit& unit, std::vector<std::uint8_t>&) {
                                           unit.program = {9, 1};
                                           unit.touched = true;
                                       },
                                       "cut short in an address advance"}),
                         [](const ::testing::TestParamInfo<Malformed>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace faulttrap
