#include "crashreport/packaging/base64.h"

#include <gtest/gtest.h>

#include <random>

namespace faulttrap {
namespace {

struct Base64Case {
    std::string bytes;
    std::string text;
};

TEST(Base64, EncodesAndDecodesTheStandardVectors) {
    const Base64Case cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\xFB\xFF\xBF", 3), "+/+/"},
    };
    for (const Base64Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToBase64(c.bytes), c.text);
        EXPECT_EQ(FromBase64(c.text), c.bytes);
    }
}

TEST(Base64, EveryLengthRoundTripsWithFourCharactersPerThreeBytes) {
    std::mt19937 random(7);
    for (std::size_t n = 0; n < 70; ++n) {
        std::string bytes(n, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        const std::string text = ToBase64(bytes);
        EXPECT_EQ(text.size(), 4 * ((n + 2) / 3));
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(FromBase64(text), bytes);
    }
}

TEST(Base64, RefusesTextThatIsNotBase64) {
    for (const char* text : {"Zg=", "Zm9v!A==", "Z===", "Zg==Zm9v", "=Zm9", "Zm 9"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(FromBase64(text), EBase64Error);
    }
    EXPECT_THROW(FromBase64("Zg="), Error) << "caught like every error of FaultTrap";
}

} // namespace
} // namespace faulttrap
