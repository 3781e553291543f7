#include "crashreport/debuginfo/compact_debug_info.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/lazy_debug_index.h"
#include "crashreport/debuginfo/subsystem_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace faulttrap {
namespace {

// main.cpp's Run (0x100-0x200) has Shape::area inlined at main.cpp:40 (two ranges), and
// within it square() inlined at shape.h:12; Other (0x300-0x340) has square() at other.cpp:7.
CompactDebugInfo WithInlinedCalls() {
    CompactDebugInfo info;
    info.units.push_back({"main.cpp", 29, 0x100, 0x100, {{{1, 0, true}, "Run"}}});
    info.units.push_back({"other.cpp", 4, 0x300, 0x40, {{{1, 0, true}, "Other"}}});
    InlinedCalls& calls = info.inlinedCalls;
    // Calls within Run and Other name their caller's own file; square's call within
    // Shape::area names shape.h, whose function has no file stored.
    calls.functions = {{"Run", 30, 0}, {"Shape.area", 10, {}}, {"square", 3, {}}, {"Other", 5, 2}};
    calls.files = {"main.cpp", "shape.h", "other.cpp"};
    calls.ranges = {
        {0x100, 0x200, 0, 0, 0, 0},  {0x120, 0x160, 1, 1, 0, 40}, {0x1A0, 0x1B0, 1, 1, 0, 40},
        {0x130, 0x140, 2, 2, 1, 12}, {0x300, 0x340, 0, 3, 0, 0},  {0x310, 0x318, 1, 2, 2, 7},
    };
    return info;
}

std::string Describe(const std::vector<InlinedScopeView>& scopes) {
    std::string text;
    for (const InlinedScopeView& scope : scopes) {
        text += std::string(scope.function) + "@" + std::to_string(scope.firstLine);
        if (!scope.callFile.empty()) {
            text += " from " + std::string(scope.callFile) + ":" + std::to_string(scope.callLine);
        }
        text += "; ";
    }
    return text;
}

TEST(InlinedCalls, RoundTripInTheDebugInformation) {
    const NameCipher cipher("pw");
    const CompactDebugInfo info = WithInlinedCalls();
    CompactDebugInfo decoded =
        DecodeDebugInfo(EncodeDebugInfo(info, cipher), {&cipher, true, true});
    EXPECT_EQ(decoded.units, info.units);
    EXPECT_EQ(decoded.inlinedCalls.functions, info.inlinedCalls.functions);
    EXPECT_EQ(decoded.inlinedCalls.files, info.inlinedCalls.files);
    // Stored in address order, then depth.
    auto sorted = info.inlinedCalls.ranges;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.depth < b.depth;
    });
    EXPECT_EQ(decoded.inlinedCalls.ranges, sorted);
}

TEST(InlinedCalls, ChainAtAnAddressInnermostFirst) {
    const NameCipher cipher("");
    const LazyDebugIndex index(EncodeDebugInfo(WithInlinedCalls(), cipher), cipher, true, true);
    const struct {
        std::uint64_t offset;
        std::string chain;
    } cases[] = {
        {0x135, "square@3 from shape.h:12; Shape.area@10 from main.cpp:40; Run@30; "},
        {0x120, "Shape.area@10 from main.cpp:40; Run@30; "},
        {0x15F, "Shape.area@10 from main.cpp:40; Run@30; "},
        {0x1A8, "Shape.area@10 from main.cpp:40; Run@30; "},
        {0x314, "square@3 from other.cpp:7; Other@5; "},
        {0x160, ""}, // the out-of-line function's own code
        {0x1B0, ""},
        {0x318, ""},
        {0x0FF, ""}, // outside every function
        {0x400, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(index.InlinedScopesAt(c.offset)), c.chain) << std::hex << c.offset;
    }
    EXPECT_EQ(index.Find(0x135)->procedure, "Run");
}

TEST(InlinedCalls, NamesStayEncipheredWithoutThePassword) {
    const NameCipher cipher("secret");
    const NameCipher wrong("guess");
    const LazyDebugIndex index(EncodeDebugInfo(WithInlinedCalls(), cipher), wrong, false, true);
    const auto scopes = index.InlinedScopesAt(0x135);
    ASSERT_EQ(scopes.size(), 3u);
    for (const InlinedScopeView& scope : scopes) {
        EXPECT_TRUE(scope.function.starts_with("?")) << scope.function;
    }
    EXPECT_TRUE(scopes[0].callFile.starts_with("?p")) << scopes[0].callFile;
}

// Data written before the record existed, or with record kinds of a later writer, still reads.
TEST(InlinedCalls, DataWithoutTheRecordOrWithUnknownRecordsStillReads) {
    const NameCipher cipher("");
    CompactDebugInfo old = WithInlinedCalls();
    old.inlinedCalls = {};
    auto bytes = EncodeDebugInfo(old, cipher);
    EXPECT_EQ(DecodeDebugInfo(bytes, {&cipher, true, true}), old);
    EXPECT_TRUE(LazyDebugIndex(bytes, cipher, true, true).InlinedScopesAt(0x135).empty());

    const std::vector<std::uint8_t> unknownRecord{200, 3, 0, 0, 0, 'x', 'y', 'z'};
    bytes.insert(bytes.end(), unknownRecord.begin(), unknownRecord.end());
    EXPECT_EQ(DecodeDebugInfo(bytes, {&cipher, true, true}), old);
    const LazyDebugIndex index(bytes, cipher, true, true);
    EXPECT_EQ(index.Find(0x135)->procedure, "Run");
}

// A container stored by an earlier build of the tool (kept in the fuzzer's corpus) reads.
TEST(InlinedCalls, ContainerOfAnEarlierBuildStillReads) {
    std::ifstream in(std::filesystem::path(FUZZ_CORPUS_DIR) / "tiny-program.ftdata",
                     std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bytes.empty());
    const SubsystemData data = DecodeSubsystemData(bytes);
    const NameCipher cipher("");
    const CompactDebugInfo info = DecodeDebugInfo(data.debugInformation, {&cipher, true, true});
    EXPECT_FALSE(info.units.empty());
    EXPECT_TRUE(info.inlinedCalls.empty());
}

TEST(InlinedCalls, DamagedRecordIsRefusedByTheDecoderAndSilentInTheIndex) {
    const NameCipher cipher("");
    CompactDebugInfo info = WithInlinedCalls();
    const auto whole = EncodeDebugInfo(info, cipher);
    info.inlinedCalls = {};
    const std::size_t recordStart = EncodeDebugInfo(info, cipher).size();
    // Every cut inside the record, and a record whose length claims less than it holds.
    for (std::size_t length = recordStart + 1; length < whole.size(); ++length) {
        EXPECT_THROW(DecodeDebugInfo({whole.data(), length}, {&cipher, true, true}), DebugDataError)
            << length;
    }
    const struct {
        std::size_t at; // within the payload
        std::uint8_t value;
    } forgeries[] = {
        {0, 0x7F}, // a function count beyond the data
    };
    for (const auto& forgery : forgeries) {
        auto forged = whole;
        forged[recordStart + 5 + forgery.at] = forgery.value;
        EXPECT_THROW(DecodeDebugInfo(forged, {&cipher, true, true}), DebugDataError);
        const LazyDebugIndex index(forged, cipher, true, true);
        EXPECT_TRUE(index.InlinedScopesAt(0x135).empty());
        EXPECT_EQ(index.Find(0x135)->procedure, "Run");
    }
    // A range that names a function or file that is not stored.
    InlinedCalls bad = WithInlinedCalls().inlinedCalls;
    bad.ranges[1].function = 9;
    ByteWriter out;
    WriteInlinedCalls(out, bad, cipher);
    EXPECT_THROW(ReadInlinedCalls(out.Bytes(), {&cipher, true, true}), DebugDataError);
    bad = WithInlinedCalls().inlinedCalls;
    bad.ranges[3].callFile = 3;
    ByteWriter again;
    WriteInlinedCalls(again, bad, cipher);
    EXPECT_THROW(ReadInlinedCalls(again.Bytes(), {&cipher, true, true}), DebugDataError);
}

TEST(ByteIo, VarintsRoundTripAndRefuseOverlongNumbers) {
    ByteWriter out;
    const std::uint64_t values[] = {0, 1, 127, 128, 300, 0xFFFFFFFF, ~std::uint64_t{0}};
    for (const std::uint64_t value : values) {
        out.Varint(value);
    }
    ByteReader in(out.Bytes());
    for (const std::uint64_t value : values) {
        EXPECT_EQ(in.Varint("value"), value);
    }
    EXPECT_TRUE(in.AtEnd());
    const std::vector<std::uint8_t> overlong(11, 0x80);
    ByteReader bad(overlong);
    EXPECT_THROW(bad.Varint("value"), DebugDataError);
}

} // namespace
} // namespace faulttrap
