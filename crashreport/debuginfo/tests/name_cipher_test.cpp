#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/name_cipher.h"
#include "crashreport/debuginfo/name_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace faulttrap {
namespace {

std::vector<std::uint8_t> BytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// The expected values come from a separate implementation of the round function, the MD5
// key and the chaining rules, not from this code.
TEST(NameCipher, BlockMatchesTheReferenceRounds) {
    const NameCipher cipher("");
    const NameCipher::Block zero{};
    const NameCipher::Block expected{0x14, 0xc8, 0x1d, 0x62, 0xb7, 0x5b, 0xf9, 0xc6};
    EXPECT_EQ(cipher.EncryptBlock(zero), expected);
    EXPECT_EQ(cipher.DecryptBlock(expected), zero);
}

struct CipherCase {
    std::string password;
    std::string plain;
    std::vector<std::uint8_t> sealed;
};

class NameCipherGolden : public testing::TestWithParam<CipherCase> {};

TEST_P(NameCipherGolden, ChainsBlocksAndTheFinalPartialBlock) {
    const CipherCase& c = GetParam();
    const NameCipher cipher(c.password);
    EXPECT_EQ(cipher.Encrypt(BytesOf(c.plain)), c.sealed);
    EXPECT_EQ(cipher.Decrypt(c.sealed), BytesOf(c.plain));
}

INSTANTIATE_TEST_SUITE_P(
    Reference, NameCipherGolden,
    testing::Values(
        CipherCase{
            "secret", "Unit1.Proc", {0xb6, 0x11, 0x40, 0x04, 0xf8, 0xbc, 0xed, 0x02, 0xfd, 0x85}},
        CipherCase{"", "main.cpp", {0xdb, 0xe2, 0x2b, 0x99, 0xcf, 0x6a, 0xd5, 0x26}},
        CipherCase{"secret", std::string("\x10\xAB\x0F\x10", 4), {0x47, 0x94, 0x1f, 0x64}},
        CipherCase{"any", "", {}}));

TEST(NameCipher, LongTextRoundTripsAndDiffersByPassword) {
    const std::vector<std::uint8_t> plain = BytesOf("faulttrap::ModuleDebugData.lookupSourcePlace");
    EXPECT_EQ(NameCipher("pw").Decrypt(NameCipher("pw").Encrypt(plain)), plain);
    EXPECT_NE(NameCipher("pw").Encrypt(plain), NameCipher("pW").Encrypt(plain));
}

TEST(Base64, EncodesWithPadding) {
    EXPECT_EQ(Base64(BytesOf("")), "");
    EXPECT_EQ(Base64(BytesOf("f")), "Zg==");
    EXPECT_EQ(Base64(BytesOf("fo")), "Zm8=");
    EXPECT_EQ(Base64(BytesOf("foo")), "Zm9v");
    EXPECT_EQ(Base64(BytesOf("foobar")), "Zm9vYmFy");
}

std::string RoundTrip(std::string_view name, std::string_view password, NameRole role, bool valid) {
    ByteWriter out;
    const NameCipher cipher(password);
    WriteNameField(out, name, cipher);
    ByteReader in(out.Bytes());
    const std::string read = ReadNameField(in, {&cipher, valid, true}, role);
    EXPECT_TRUE(in.AtEnd());
    return read;
}

TEST(NameField, ShortNameIsOneFieldWithItsLength) {
    ByteWriter out;
    WriteNameField(out, "Unit1.Proc", NameCipher("secret"));
    const std::vector<std::uint8_t> expected{0x0A, 0xb6, 0x11, 0x40, 0x04, 0xf8,
                                             0xbc, 0xed, 0x02, 0xfd, 0x85};
    EXPECT_EQ(out.Bytes(), expected);
    EXPECT_EQ(RoundTrip("Unit1.Proc", "secret", NameRole::procedure, true), "Unit1.Proc");
}

TEST(NameField, ContinuationBitJoinsFieldsWithADot) {
    const NameCipher cipher("");
    ByteWriter out;
    out.U8(0x80 | 8);
    out.Raw(cipher.Encrypt(BytesOf("main.cpp")));
    out.U8(3);
    out.Raw(cipher.Encrypt(BytesOf("run")));
    ByteReader in(out.Bytes());
    EXPECT_EQ(ReadNameField(in, {&cipher, true, true}, NameRole::procedure), "main.cpp.run");
}

TEST(NameField, LongNamesSplitAtDotsAndReadBackWhole) {
    const std::string className(100, 'C');
    const std::string procedure(90, 'p');
    const std::string name = className + "." + procedure;
    ByteWriter out;
    WriteNameField(out, name, NameCipher("k"));
    EXPECT_EQ(out.Bytes()[0], 0x80 | 100);
    EXPECT_EQ(RoundTrip(name, "k", NameRole::procedure, true), name);
}

TEST(NameField, DotFreeNameLongerThanAFieldIsCut) {
    const std::string name(300, 'x');
    EXPECT_EQ(RoundTrip(name, "", NameRole::procedure, true), std::string(127, 'x'));
}

TEST(NameField, WithoutAValidPasswordNamesShowTheirStoredBytes) {
    const NameCipher cipher("right");
    ByteWriter out;
    WriteNameField(out, "main.cpp", cipher);
    const std::string stored = Base64(cipher.Encrypt(BytesOf("main.cpp")));
    ByteReader unit(out.Bytes());
    EXPECT_EQ(ReadNameField(unit, {&cipher, false, true}, NameRole::unit), "?p" + stored);
    ByteReader procedure(out.Bytes());
    EXPECT_EQ(ReadNameField(procedure, {&cipher, false, true}, NameRole::procedure), "?" + stored);
}

TEST(NameField, TruncatedFieldRaisesAClearError) {
    const std::vector<std::uint8_t> bytes{0x05, 'a', 'b'};
    ByteReader in(bytes);
    const NameCipher cipher("");
    EXPECT_THROW(ReadNameField(in, {&cipher, true, true}, NameRole::unit), DebugDataError);
}

} // namespace
} // namespace faulttrap
