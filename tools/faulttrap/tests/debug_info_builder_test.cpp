#include "tools/faulttrap/debug_info_builder.h"

#include "crashreport/debuginfo/debug_index.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

ProgramDebugData Program() {
    ProgramDebugData data;
    data.functions = {{0x1100, 0x1110, "", "free"}, {0x1000, 0x1040, "ns::A", "run"}};
    data.lines = {
        {0x1000, 0x1008, "main.cpp", 10},
        {0x1008, 0x1010, "main.cpp", 11},
        {0x1010, 0x1018, "main.cpp", 11}, // same line again: merged
        {0x1018, 0x1020, "main.cpp", 9},  // backwards: a new unit record
        {0x1020, 0x1030, "vector.h", 100},
        {0x1038, 0x1040, "main.cpp", 12}, // after 8 bytes of padding
        {0x1100, 0x1110, "main.cpp", 20},
        {0x1'0000'0000, 0x1'0000'0010, "high.cpp", 1}, // beyond 32-bit offsets
    };
    return data;
}

struct Expected {
    std::uint64_t address;
    const char* unit;
    const char* className;
    const char* procedure;
    std::uint32_t line;
};

TEST(DebugInfoBuilder, EveryAddressResolvesToItsLineAfterEncoding) {
    const NameCipher cipher("pw");
    const auto bytes = EncodeDebugInfo(BuildCompactDebugInfo(Program()), cipher);
    const DebugIndex index(DecodeDebugInfo(bytes, {&cipher, true, true}));
    const Expected cases[] = {
        {0x1000, "main.cpp", "ns::A", "run", 10},  {0x1007, "main.cpp", "ns::A", "run", 10},
        {0x1008, "main.cpp", "ns::A", "run", 11},  {0x1017, "main.cpp", "ns::A", "run", 11},
        {0x1018, "main.cpp", "ns::A", "run", 9},   {0x1020, "vector.h", "ns::A", "run", 100},
        {0x1034, "vector.h", "ns::A", "run", 100}, {0x1038, "main.cpp", "ns::A", "run", 12},
        {0x1100, "main.cpp", "", "free", 20},      {0x110F, "main.cpp", "", "free", 20},
    };
    for (const Expected& c : cases) {
        const auto place = index.Find(c.address);
        ASSERT_TRUE(place) << std::hex << c.address;
        EXPECT_EQ(place->unit, c.unit) << std::hex << c.address;
        EXPECT_EQ(place->className, c.className) << std::hex << c.address;
        EXPECT_EQ(place->procedure, c.procedure) << std::hex << c.address;
        EXPECT_EQ(place->line, c.line) << std::hex << c.address;
    }
    EXPECT_FALSE(index.Find(0x0FFF));
    EXPECT_FALSE(index.Find(0x1040));
    EXPECT_FALSE(index.Find(0x1110));
    EXPECT_FALSE(index.Find(0x1'0000'0000));
}

TEST(DebugInfoBuilder, LinesThatOnlyGrowShareOneUnitRecord) {
    const CompactDebugInfo info = BuildCompactDebugInfo(Program());
    ASSERT_EQ(info.units.size(), 5u);
    const DebugUnit& first = info.units[0];
    EXPECT_EQ(first.name, "main.cpp");
    EXPECT_EQ(first.codeOffset, 0x1000u);
    EXPECT_EQ(first.codeSize, 0x18u);
    EXPECT_EQ(first.firstLine, 9u);
    ASSERT_EQ(first.steps.size(), 2u);
    EXPECT_EQ(first.steps[0], (UnitStep{{1, 0, true}, "ns::A.run"}));
    EXPECT_EQ(first.steps[1], (UnitStep{{1, 8, false}, {}}));
    // The class named before is referred to by a leading dot.
    EXPECT_EQ(info.units[1].steps[0].procedure, ".run");
}

TEST(DebugInfoBuilder, LineAfterAStepBackwardsKeepsItsOffsetFromTheProcedure) {
    ProgramDebugData data;
    data.functions = {{0x1000, 0x1030, "", "store"}};
    data.lines = {
        {0x1000, 0x1008, "main.cpp", 20},
        {0x1008, 0x1010, "main.cpp", 22},
        {0x1010, 0x1018, "main.cpp", 21}, // backwards: a new unit record
        {0x1018, 0x1030, "main.cpp", 23},
    };
    const NameCipher cipher("pw");
    const DebugIndex index(DecodeDebugInfo(EncodeDebugInfo(BuildCompactDebugInfo(data), cipher),
                                           {&cipher, true, true}));
    struct Case {
        std::uint64_t address;
        std::uint32_t line;
        std::uint32_t lineOffset;
    };
    for (const Case c : {Case{0x1000, 20, 0}, Case{0x1008, 22, 2}, Case{0x1010, 21, 1},
                         Case{0x1018, 23, 3}, Case{0x102F, 23, 3}}) {
        const auto place = index.Find(c.address);
        ASSERT_TRUE(place) << std::hex << c.address;
        EXPECT_EQ(place->procedure, "store") << std::hex << c.address;
        EXPECT_EQ(place->line, c.line) << std::hex << c.address;
        EXPECT_EQ(place->lineOffset, c.lineOffset) << std::hex << c.address;
    }
}

// Inlined calls keep their depth, names, call places and ranges; each function and file is
// stored once, the most used first, and ranges beyond 32-bit offsets are left out.
TEST(DebugInfoBuilder, InlinedCallsStoreEachFunctionAndFileOnceMostUsedFirst) {
    ProgramDebugData data = Program();
    data.inlinedCalls = {
        {0x1000, 0x1040, 0, "ns::A", "run", 9, "main.cpp", "", 0},
        {0x1020, 0x1030, 1, "std", "size", 99, "vector.h", "main.cpp", 11},
        {0x1030, 0x1034, 1, "std", "size", 99, "vector.h", "main.cpp", 12},
        {0x1030, 0x1032, 2, "", "count", 5, "", "vector.h", 101},
        {0x1'0000'0000, 0x1'0000'0010, 1, "", "high", 1, "", "high.cpp", 2},
    };
    const CompactDebugInfo info = BuildCompactDebugInfo(data);
    const InlinedCalls& calls = info.inlinedCalls;
    EXPECT_EQ(calls.files, (std::vector<std::string>{"main.cpp", "vector.h"}));
    EXPECT_EQ(calls.functions, (std::vector<InlinedFunction>{
                                   {"std.size", 99, 1}, {"count", 5, {}}, {"ns::A.run", 9, 0}}));
    EXPECT_EQ(calls.ranges, (std::vector<InlinedCallRange>{{0x1000, 0x1040, 0, 2, 0, 0},
                                                           {0x1020, 0x1030, 1, 0, 0, 11},
                                                           {0x1030, 0x1034, 1, 0, 0, 12},
                                                           {0x1030, 0x1032, 2, 1, 1, 101}}));
    const NameCipher cipher("");
    EXPECT_EQ(DecodeDebugInfo(EncodeDebugInfo(info, cipher), {&cipher, true, true}).inlinedCalls,
              calls);
}

} // namespace
} // namespace faulttrap
