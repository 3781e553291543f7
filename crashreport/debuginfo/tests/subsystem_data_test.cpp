#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/subsystem_data.h"
#include "crashreport/debuginfo/zlib_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace faulttrap {
namespace {

SubsystemData Sample() {
    SubsystemData data;
    data.compilationTime = CompilationTimeFromUnix(1700000000);
    data.symbols = {{0, 0x1234, 7}, {1, 0x5678, 0}};
    data.optionsStream = {1, 2, 3, 4, 5, 0, 0, 0, 9};
    data.checkValue = MakeCheckValue(data.magic, "pw");
    data.debugInformation = {0, 0, 0, 0};
    return data;
}

TEST(SubsystemData, RoundTripsEveryField) {
    const SubsystemData data = Sample();
    EXPECT_EQ(DecodeSubsystemData(EncodeSubsystemData(data)), data);
}

TEST(SubsystemData, HeaderLayoutIsFixed) {
    const auto bytes = EncodeSubsystemData(Sample());
    const std::vector<std::uint8_t> head{0x10, 0xAB, 0x0F, 0x10, 0x76, 0x17};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(bytes[16], 18); // two 9-byte symbol records
    EXPECT_EQ(bytes[20], 0);  // first symbol number
    EXPECT_EQ(bytes[21], 0x34);
}

TEST(SubsystemData, CompilationTimeCountsDaysFrom1899) {
    EXPECT_DOUBLE_EQ(CompilationTimeFromUnix(0), 25569.0);
    EXPECT_DOUBLE_EQ(CompilationTimeFromUnix(86400 + 43200), 25570.5);
}

TEST(SubsystemData, PasswordCheckAcceptsOnlyTheRightPassword) {
    const SubsystemData data = Sample();
    EXPECT_TRUE(PasswordMatches(data, "pw"));
    EXPECT_FALSE(PasswordMatches(data, ""));
    EXPECT_FALSE(PasswordMatches(data, "pW"));
}

TEST(SubsystemData, OldVersionNumbersAreReadAsThousands) {
    auto bytes = EncodeSubsystemData(Sample());
    bytes[4] = 0x5A; // 602
    bytes[5] = 0x02;
    EXPECT_EQ(DecodeSubsystemData(bytes).version, 6002);
}

void ExpectRefused(const std::vector<std::uint8_t>& bytes, const std::string& message) {
    try {
        DecodeSubsystemData(bytes);
        ADD_FAILURE() << "accepted damaged data, expected: " << message;
    } catch (const DebugDataError& error) {
        EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
}

TEST(SubsystemData, DamagedContainersAreRefusedWithTheReason) {
    const auto good = EncodeSubsystemData(Sample());
    auto badMagic = good;
    badMagic[0] = 0x11;
    ExpectRefused(badMagic, "not subsystem data");
    auto tooNew = good;
    tooNew[4] = 0x77; // 6007
    ExpectRefused(tooNew, "newer than 6006");
    auto tooOld = good;
    tooOld[4] = 0xF3; // 499
    tooOld[5] = 0x01;
    ExpectRefused(tooOld, "older than");
    auto oddSymbols = good;
    oddSymbols[16] = 10;
    ExpectRefused(oddSymbols, "whole number of records");
    auto damagedDebug = good;
    damagedDebug[damagedDebug.size() - 6] ^= 0xFF;
    ExpectRefused(damagedDebug, "compressed data");
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_THROW(DecodeSubsystemData({good.data(), length}), DebugDataError) << length;
    }
}

TEST(SubsystemData, ARefusalIsCaughtAsAnyFaultTrapError) {
    auto badMagic = EncodeSubsystemData(Sample());
    badMagic[0] = 0x11;
    try {
        DecodeSubsystemData(badMagic);
        ADD_FAILURE() << "accepted damaged data";
    } catch (const Error& error) {
        EXPECT_NE(dynamic_cast<const DebugDataError*>(&error), nullptr) << error.what();
    }
}

// What the start-up activation reads: everything before the debug block, which is neither
// inflated nor checked, so that damage there cannot stop the activation either.
TEST(SubsystemData, LeavingTheDebugBlockReadsAllBeforeIt) {
    SubsystemData data = Sample();
    auto bytes = EncodeSubsystemData(data);
    bytes[bytes.size() - 6] ^= 0xFF;
    const SubsystemData header = DecodeSubsystemData(bytes, DebugBlock::leave);
    data.debugInformation.clear();
    EXPECT_EQ(header, data);
    EXPECT_THROW(DecodeSubsystemData(bytes), DebugDataError);
    // The sample's debug block: the 32-bit length 4 and four zero bytes.
    const std::vector<std::uint8_t> debugBlock{4, 0, 0, 0, 0, 0, 0, 0};
    const auto good = EncodeSubsystemData(Sample());
    const std::size_t debugBlockStart = good.size() - ZlibCompress(debugBlock).size();
    EXPECT_NO_THROW(DecodeSubsystemData({good.data(), debugBlockStart}, DebugBlock::leave));
    EXPECT_THROW(DecodeSubsystemData({good.data(), debugBlockStart - 1}, DebugBlock::leave),
                 DebugDataError);
}

TEST(ZlibCodec, RefusesOutputBeyondTheLimit) {
    const std::vector<std::uint8_t> zeros(100000, 0);
    const auto packed = ZlibCompress(zeros);
    EXPECT_EQ(ZlibDecompress(packed, zeros.size()), zeros);
    EXPECT_THROW(ZlibDecompress(packed, zeros.size() - 1), DebugDataError);
}

std::vector<std::uint8_t> Counted(std::uint32_t length, std::size_t contentSize) {
    std::vector<std::uint8_t> bytes{
        static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
    for (std::size_t i = 0; i < contentSize; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return bytes;
}

TEST(ZlibCodec, CountedContentMustMatchItsLength) {
    const std::size_t large = 300000; // beyond any one inflate buffer
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, large}) {
        const auto content = Counted(static_cast<std::uint32_t>(size), size);
        const auto inflated = ZlibDecompressCounted(ZlibCompress(content), large);
        EXPECT_TRUE(
            std::equal(inflated.begin(), inflated.end(), content.begin() + 4, content.end()))
            << size;
        EXPECT_EQ(inflated.size(), size);
    }
    const struct {
        std::vector<std::uint8_t> packed;
        const char* reason;
    } refused[] = {
        {ZlibCompress(Counted(10, 11)), "unexpected bytes after"},
        {ZlibCompress(Counted(0, 1)), "unexpected bytes after"},
        {ZlibCompress(Counted(10, 9)), "shorter than its length"},
        {ZlibCompress(std::vector<std::uint8_t>{1, 0}), "ends within its length"},
        {ZlibCompress(Counted(large + 1, 0)), "exceeds"},
    };
    for (const auto& [packed, reason] : refused) {
        try {
            ZlibDecompressCounted(packed, large);
            ADD_FAILURE() << "accepted, expected: " << reason;
        } catch (const DebugDataError& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    }
    const auto whole = ZlibCompress(Counted(1000, 1000));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_THROW(ZlibDecompressCounted({whole.data(), length}, large), DebugDataError)
            << length;
    }
    auto trailing = whole;
    trailing.push_back(0);
    EXPECT_THROW(ZlibDecompressCounted(trailing, large), DebugDataError);
}

} // namespace
} // namespace faulttrap
