#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/debug_index.h"
#include "crashreport/debuginfo/elf_section.h"
#include "crashreport/debuginfo/lazy_debug_index.h"
#include "crashreport/debuginfo/subsystem_data.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <limits>
#include <string>

namespace faulttrap {
namespace {

template <typename Place> std::string Describe(const std::optional<Place>& place) {
    if (!place) {
        return "nothing";
    }
    return std::string(place->unit) + " " + std::string(place->className) + " " +
           std::string(place->procedure) + " line " + std::to_string(place->line) + "+" +
           std::to_string(place->lineOffset);
}

// The lazy index's answer against the unpacked index's, as text so that a difference shows.
void ExpectSame(const LazyDebugIndex& lazy, const DebugIndex& eager, std::uint64_t offset) {
    ASSERT_EQ(Describe(lazy.Find(offset)), Describe(eager.Find(offset))) << std::hex << offset;
}

// Records whose procedures refer to classes named records before them, an empty record that
// names a class, and a record that names none, in stored order.
CompactDebugInfo ClassChain() {
    CompactDebugInfo info;
    info.units.push_back({"a.cpp", 9, 0x100, 0x10, {{{1, 0, true}, "Shape.area"}}});
    info.units.push_back({"b.h", 19, 0x110, 0x10, {{{1, 0, true}, ".perimeter"}}});
    info.units.push_back({"c.h", 1, 0x2000, 0, {{{1, 0, true}, "Circle.radius"}}}); // no code
    info.units.push_back({"d.h", 29, 0x120, 0x10, {{{1, 4, false}, {}}}});          // no procedure
    info.units.push_back({"e.h", 39, 0x130, 0x10, {{{1, 0, true}, ".centre"}}});
    info.units.push_back({"f.cpp", 49, 0x140, 0x10, {{{1, 0, true}, "free"}}});
    info.units.push_back({"g.cpp", 59, 0x150, 0x10, {{{1, 0, true}, ".later"}}});
    return info;
}

TEST(LazyDebugIndex, ClassesNamedByEarlierRecordsWhateverTheLookupOrder) {
    const NameCipher cipher("pw");
    const auto bytes = EncodeDebugInfo(ClassChain(), cipher);
    const DebugIndex eager(DecodeDebugInfo(bytes, {&cipher, true, true}));
    struct Case {
        std::uint64_t offset;
        const char* className;
        const char* procedure;
    };
    const Case cases[] = {
        {0x100, "Shape", "area"},    {0x110, "Shape", "perimeter"}, {0x120, "", ""},
        {0x130, "Circle", "centre"}, {0x140, "", "free"},           {0x150, "Circle", "later"},
    };
    // Asked from the last record backwards, and from the first onwards.
    for (const bool backwards : {true, false}) {
        const LazyDebugIndex lazy(bytes, cipher, true, true);
        std::vector<Case> order(std::begin(cases), std::end(cases));
        if (backwards) {
            std::reverse(order.begin(), order.end());
        }
        for (const Case& c : order) {
            const auto place = lazy.Find(c.offset);
            ASSERT_TRUE(place) << std::hex << c.offset;
            EXPECT_EQ(place->className, c.className) << std::hex << c.offset;
            EXPECT_EQ(place->procedure, c.procedure) << std::hex << c.offset;
            ExpectSame(lazy, eager, c.offset);
        }
    }
}

TEST(LazyDebugIndex, UnknownPasswordShowsStoredNamesAsBase64) {
    const NameCipher cipher("pw");
    const auto bytes = EncodeDebugInfo(ClassChain(), cipher);
    const LazyDebugIndex lazy(bytes, NameCipher("wrong"), false, true);
    const DebugIndex eager(DecodeDebugInfo(bytes, {&cipher, false, true}));
    const auto place = lazy.Find(0x100);
    ASSERT_TRUE(place);
    EXPECT_TRUE(place->unit.starts_with("?p")) << place->unit;
    EXPECT_TRUE(place->procedure.starts_with("?")) << place->procedure;
    ExpectSame(lazy, eager, 0x100);
}

TEST(LazyDebugIndex, DamagedLineTableSilencesOnlyItsRecord) {
    CompactDebugInfo info;
    info.units.push_back({"a.cpp", 1, 0x100, 0x10, {{{1, 0, true}, "first"}}});
    info.units.push_back({"b.cpp", 1, 0x110, 0x10, {{{1, 0, true}, "second"}}});
    const NameCipher cipher("pw");
    auto bytes = EncodeDebugInfo(info, cipher);
    // The first record's procedure name field (after the unit count, the name field "a.cpp",
    // four numbers and the four-byte step) claims more bytes than its table holds.
    const std::size_t firstProcedureName = 4 + 1 + 5 + 16 + 4;
    bytes[firstProcedureName] = 0x7F;
    const LazyDebugIndex lazy(bytes, cipher, true, true);
    EXPECT_FALSE(lazy.Find(0x100));
    const auto second = lazy.Find(0x110);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->procedure, "second");
}

void Index(std::vector<std::uint8_t> bytes) {
    const LazyDebugIndex lazy(std::move(bytes), NameCipher("pw"), true, true);
}

TEST(LazyDebugIndex, RefusesDamagedRecordLayout) {
    const auto bytes = EncodeDebugInfo(ClassChain(), NameCipher("pw"));
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_THROW(Index({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)}),
                     DebugDataError)
            << length;
    }
    auto trailing = bytes;
    trailing.push_back(0);
    EXPECT_THROW(Index(trailing), DebugDataError);
}

std::string OwnPath() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

// This test program carries its own container: every code offset it covers, and the
// offsets around, must resolve the same through the lazy index, asked in either direction,
// as through the fully unpacked one.
TEST(LazyDebugIndex, AnswersAsTheUnpackedIndexForEveryAddressOfThisProgram) {
    const auto container = ReadElfSection(OwnPath(), ".ftdata");
    ASSERT_TRUE(container);
    const SubsystemData data = DecodeSubsystemData(*container);
    const NameCipher cipher("");
    const bool valid = PasswordMatches(data, "");
    ASSERT_TRUE(valid);
    const DebugIndex eager(DecodeDebugInfo(data.debugInformation, {&cipher, valid, true}));
    ASSERT_GT(eager.Ranges().size(), 1000u);
    std::uint64_t low = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t high = 0;
    for (const auto& range : eager.Ranges()) {
        low = std::min<std::uint64_t>(low, range.begin);
        high = std::max(high, range.end);
    }
    low = low > 16 ? low - 16 : 0;
    high += 16;

    const LazyDebugIndex forwards(data.debugInformation, cipher, valid, true);
    const LazyDebugIndex backwards(data.debugInformation, cipher, valid, true);
    std::size_t found = 0;
    for (std::uint64_t offset = high; offset-- > low;) {
        ExpectSame(backwards, eager, offset);
        found += eager.Find(offset).has_value();
    }
    for (std::uint64_t offset = low; offset < high; ++offset) {
        ExpectSame(forwards, eager, offset);
    }
    EXPECT_GT(found, (high - low) / 2);
}

} // namespace
} // namespace faulttrap
