#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/subsystem_data.h"
#include "crashreport/debuginfo/zlib_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace faulttrap {
namespace {

SubsystemData sample() {
    SubsystemData data;
    data.compilationTime = compilationTimeFromUnix(1700000000);
    data.symbols = {{0, 0x1234, 7}, {1, 0x5678, 0}};
    data.optionsStream = {1, 2, 3, 4, 5, 0, 0, 0, 9};
    data.checkValue = makeCheckValue(data.magic, "pw");
    data.debugInformation = {0, 0, 0, 0};
    return data;
}

TEST(SubsystemData, RoundTripsEveryField) {
    const SubsystemData data = sample();
    EXPECT_EQ(decodeSubsystemData(encodeSubsystemData(data)), data);
}

TEST(SubsystemData, HeaderLayoutIsFixed) {
    const auto bytes = encodeSubsystemData(sample());
    const std::vector<std::uint8_t> head{0x10, 0xAB, 0x0F, 0x10, 0x76, 0x17};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(bytes[16], 18); // two 9-byte symbol records
    EXPECT_EQ(bytes[20], 0);  // first symbol number
    EXPECT_EQ(bytes[21], 0x34);
}

TEST(SubsystemData, CompilationTimeCountsDaysFrom1899) {
    EXPECT_DOUBLE_EQ(compilationTimeFromUnix(0), 25569.0);
    EXPECT_DOUBLE_EQ(compilationTimeFromUnix(86400 + 43200), 25570.5);
}

TEST(SubsystemData, PasswordCheckAcceptsOnlyTheRightPassword) {
    const SubsystemData data = sample();
    EXPECT_TRUE(passwordMatches(data, "pw"));
    EXPECT_FALSE(passwordMatches(data, ""));
    EXPECT_FALSE(passwordMatches(data, "pW"));
}

TEST(SubsystemData, OldVersionNumbersAreReadAsThousands) {
    auto bytes = encodeSubsystemData(sample());
    bytes[4] = 0x5A; // 602
    bytes[5] = 0x02;
    EXPECT_EQ(decodeSubsystemData(bytes).version, 6002);
}

void expectRefused(const std::vector<std::uint8_t>& bytes, const std::string& message) {
    try {
        decodeSubsystemData(bytes);
        ADD_FAILURE() << "accepted damaged data, expected: " << message;
    } catch (const DebugDataError& error) {
        EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
}

TEST(SubsystemData, DamagedContainersAreRefusedWithTheReason) {
    const auto good = encodeSubsystemData(sample());
    auto badMagic = good;
    badMagic[0] = 0x11;
    expectRefused(badMagic, "not subsystem data");
    auto tooNew = good;
    tooNew[4] = 0x77; // 6007
    expectRefused(tooNew, "newer than 6006");
    auto tooOld = good;
    tooOld[4] = 0xF3; // 499
    tooOld[5] = 0x01;
    expectRefused(tooOld, "older than");
    auto oddSymbols = good;
    oddSymbols[16] = 10;
    expectRefused(oddSymbols, "whole number of records");
    auto damagedDebug = good;
    damagedDebug[damagedDebug.size() - 6] ^= 0xFF;
    expectRefused(damagedDebug, "compressed data");
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_THROW(decodeSubsystemData({good.data(), length}), DebugDataError) << length;
}

// What the start-up activation reads: everything before the debug block, which is neither
// inflated nor checked, so that damage there cannot stop the activation either.
TEST(SubsystemData, LeavingTheDebugBlockReadsAllBeforeIt) {
    SubsystemData data = sample();
    auto bytes = encodeSubsystemData(data);
    bytes[bytes.size() - 6] ^= 0xFF;
    const SubsystemData header = decodeSubsystemData(bytes, DebugBlock::leave);
    data.debugInformation.clear();
    EXPECT_EQ(header, data);
    EXPECT_THROW(decodeSubsystemData(bytes), DebugDataError);
    // The sample's debug block: the 32-bit length 4 and four zero bytes.
    const std::vector<std::uint8_t> debugBlock{4, 0, 0, 0, 0, 0, 0, 0};
    const auto good = encodeSubsystemData(sample());
    const std::size_t debugBlockStart = good.size() - zlibCompress(debugBlock).size();
    EXPECT_NO_THROW(decodeSubsystemData({good.data(), debugBlockStart}, DebugBlock::leave));
    EXPECT_THROW(decodeSubsystemData({good.data(), debugBlockStart - 1}, DebugBlock::leave),
                 DebugDataError);
}

TEST(ZlibCodec, RefusesOutputBeyondTheLimit) {
    const std::vector<std::uint8_t> zeros(100000, 0);
    const auto packed = zlibCompress(zeros);
    EXPECT_EQ(zlibDecompress(packed, zeros.size()), zeros);
    EXPECT_THROW(zlibDecompress(packed, zeros.size() - 1), DebugDataError);
}

std::vector<std::uint8_t> counted(std::uint32_t length, std::size_t contentSize) {
    std::vector<std::uint8_t> bytes{
        static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
    for (std::size_t i = 0; i < contentSize; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i * 7));
    return bytes;
}

TEST(ZlibCodec, CountedContentMustMatchItsLength) {
    const std::size_t large = 300000; // beyond any one inflate buffer
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, large}) {
        const auto content = counted(static_cast<std::uint32_t>(size), size);
        const auto inflated = zlibDecompressCounted(zlibCompress(content), large);
        EXPECT_TRUE(
            std::equal(inflated.begin(), inflated.end(), content.begin() + 4, content.end()))
            << size;
        EXPECT_EQ(inflated.size(), size);
    }
    const struct {
        std::vector<std::uint8_t> packed;
        const char* reason;
    } refused[] = {
        {zlibCompress(counted(10, 11)), "unexpected bytes after"},
        {zlibCompress(counted(0, 1)), "unexpected bytes after"},
        {zlibCompress(counted(10, 9)), "shorter than its length"},
        {zlibCompress(std::vector<std::uint8_t>{1, 0}), "ends within its length"},
        {zlibCompress(counted(large + 1, 0)), "exceeds"},
    };
    for (const auto& [packed, reason] : refused) {
        try {
            zlibDecompressCounted(packed, large);
            ADD_FAILURE() << "accepted, expected: " << reason;
        } catch (const DebugDataError& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    }
    const auto whole = zlibCompress(counted(1000, 1000));
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_THROW(zlibDecompressCounted({whole.data(), length}, large), DebugDataError)
            << length;
    auto trailing = whole;
    trailing.push_back(0);
    EXPECT_THROW(zlibDecompressCounted(trailing, large), DebugDataError);
}

} // namespace
} // namespace faulttrap
