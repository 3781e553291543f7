#include "crashreport/debuginfo/compact_debug_info.h"
#include "crashreport/debuginfo/debug_data_error.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

CompactDebugInfo Sample() {
    CompactDebugInfo info;
    info.units.push_back({"main.cpp",
                          9,
                          0x1130,
                          0x200,
                          {{{1, 0, true}, "main"},
                           {{2, 5, false}, {}},
                           {{31, 120, false}, {}},
                           {{3, 4000, true}, "Shape.area"},
                           {{1, 0, true}, ".perimeter"},
                           {{70000 - 65536, 60000, false}, {}}}});
    info.units.push_back({"stl_vector.h", 1100, 0x1400, 0x30, {{{1, 7, true}, "push_back"}}});
    info.units.push_back({"empty.cpp", 1, 0x2000, 0, {}});
    return info;
}

TEST(CompactDebugInfo, RoundTripsUnitsStepsAndNames) {
    const NameCipher cipher("pw");
    const CompactDebugInfo info = Sample();
    const auto bytes = EncodeDebugInfo(info, cipher);
    EXPECT_EQ(DecodeDebugInfo(bytes, {&cipher, true, true}), info);
}

TEST(CompactDebugInfo, UnitRecordLayoutIsNameThenFourWordsThenTable) {
    const NameCipher cipher("");
    CompactDebugInfo info;
    info.units.push_back({"a.cpp", 7, 0x10, 0x20, {{{1, 1, false}, {}}}});
    const auto bytes = EncodeDebugInfo(info, cipher);
    const std::vector<std::uint8_t> head{1, 0, 0, 0, 5};
    ASSERT_EQ(bytes.size(), 4u + 1 + 5 + 16 + 1);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    const std::vector<std::uint8_t> words{7, 0, 0, 0, 0x10, 0, 0, 0, 0x20, 0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(words.begin(), words.end(), bytes.begin() + 10));
}

TEST(CompactDebugInfo, DamagedDataRaisesAClearError) {
    const NameCipher cipher("");
    const auto bytes = EncodeDebugInfo(Sample(), cipher);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::span<const std::uint8_t> prefix(bytes.data(), length);
        EXPECT_THROW(DecodeDebugInfo(prefix, {&cipher, true, true}), DebugDataError) << length;
    }
    auto forgedCount = bytes;
    forgedCount[3] = 0x7F;
    EXPECT_THROW(DecodeDebugInfo(forgedCount, {&cipher, true, true}), DebugDataError);
    auto trailing = bytes;
    trailing.push_back(0);
    EXPECT_THROW(DecodeDebugInfo(trailing, {&cipher, true, true}), DebugDataError);
}

} // namespace
} // namespace faulttrap
