#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/name_cipher.h"
#include "crashreport/debuginfo/name_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace faulttrap {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// The expected values come from a separate implementation of the round function, the MD5
// key and the chaining rules, not from this code.
TEST(NameCipher, BlockMatchesTheReferenceRounds) {
    const NameCipher cipher("");
    const NameCipher::Block zero{};
    const NameCipher::Block expected{0x14, 0xc8, 0x1d, 0x62, 0xb7, 0x5b, 0xf9, 0xc6};
    EXPECT_EQ(cipher.encryptBlock(zero), expected);
    EXPECT_EQ(cipher.decryptBlock(expected), zero);
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
    EXPECT_EQ(cipher.encrypt(bytesOf(c.plain)), c.sealed);
    EXPECT_EQ(cipher.decrypt(c.sealed), bytesOf(c.plain));
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
    const std::vector<std::uint8_t> plain = bytesOf("faulttrap::ModuleDebugData.lookupSourcePlace");
    EXPECT_EQ(NameCipher("pw").decrypt(NameCipher("pw").encrypt(plain)), plain);
    EXPECT_NE(NameCipher("pw").encrypt(plain), NameCipher("pW").encrypt(plain));
}

TEST(Base64, EncodesWithPadding) {
    EXPECT_EQ(base64(bytesOf("")), "");
    EXPECT_EQ(base64(bytesOf("f")), "Zg==");
    EXPECT_EQ(base64(bytesOf("fo")), "Zm8=");
    EXPECT_EQ(base64(bytesOf("foo")), "Zm9v");
    EXPECT_EQ(base64(bytesOf("foobar")), "Zm9vYmFy");
}

std::string roundTrip(std::string_view name, std::string_view password, NameRole role, bool valid) {
    ByteWriter out;
    const NameCipher cipher(password);
    writeNameField(out, name, cipher);
    ByteReader in(out.bytes());
    const std::string read = readNameField(in, {&cipher, valid, true}, role);
    EXPECT_TRUE(in.atEnd());
    return read;
}

TEST(NameField, ShortNameIsOneFieldWithItsLength) {
    ByteWriter out;
    writeNameField(out, "Unit1.Proc", NameCipher("secret"));
    const std::vector<std::uint8_t> expected{0x0A, 0xb6, 0x11, 0x40, 0x04, 0xf8,
                                             0xbc, 0xed, 0x02, 0xfd, 0x85};
    EXPECT_EQ(out.bytes(), expected);
    EXPECT_EQ(roundTrip("Unit1.Proc", "secret", NameRole::procedure, true), "Unit1.Proc");
}

TEST(NameField, ContinuationBitJoinsFieldsWithADot) {
    const NameCipher cipher("");
    ByteWriter out;
    out.u8(0x80 | 8);
    out.raw(cipher.encrypt(bytesOf("main.cpp")));
    out.u8(3);
    out.raw(cipher.encrypt(bytesOf("run")));
    ByteReader in(out.bytes());
    EXPECT_EQ(readNameField(in, {&cipher, true, true}, NameRole::procedure), "main.cpp.run");
}

TEST(NameField, LongNamesSplitAtDotsAndReadBackWhole) {
    const std::string className(100, 'C');
    const std::string procedure(90, 'p');
    const std::string name = className + "." + procedure;
    ByteWriter out;
    writeNameField(out, name, NameCipher("k"));
    EXPECT_EQ(out.bytes()[0], 0x80 | 100);
    EXPECT_EQ(roundTrip(name, "k", NameRole::procedure, true), name);
}

TEST(NameField, DotFreeNameLongerThanAFieldIsCut) {
    const std::string name(300, 'x');
    EXPECT_EQ(roundTrip(name, "", NameRole::procedure, true), std::string(127, 'x'));
}

TEST(NameField, WithoutAValidPasswordNamesShowTheirStoredBytes) {
    const NameCipher cipher("right");
    ByteWriter out;
    writeNameField(out, "main.cpp", cipher);
    const std::string stored = base64(cipher.encrypt(bytesOf("main.cpp")));
    ByteReader unit(out.bytes());
    EXPECT_EQ(readNameField(unit, {&cipher, false, true}, NameRole::unit), "?p" + stored);
    ByteReader procedure(out.bytes());
    EXPECT_EQ(readNameField(procedure, {&cipher, false, true}, NameRole::procedure), "?" + stored);
}

TEST(NameField, TruncatedFieldRaisesAClearError) {
    const std::vector<std::uint8_t> bytes{0x05, 'a', 'b'};
    ByteReader in(bytes);
    const NameCipher cipher("");
    EXPECT_THROW(readNameField(in, {&cipher, true, true}, NameRole::unit), DebugDataError);
}

} // namespace
} // namespace faulttrap
