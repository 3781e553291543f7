#include "crashreport/text/strings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace faulttrap {
namespace {

TEST(Strings, TrimTakesEveryByteUpToTheBlankOrTheGivenOnes) {
    const struct {
        std::string text;
        const char* blanks; // nullptr: every byte up to the blank
        std::string trimmed;
    } cases[] = {
        {"  a b \t", nullptr, "a b"},  {std::string("\x01\0x\x1F ", 4), nullptr, "x"},
        {" \r\n", nullptr, ""},        {"", nullptr, ""},
        {"\va\v", " \t\r\n", "\va\v"}, {" \t a \r\n", " \t\r\n", "a"},
        {"\r\r", " \t\r", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.blanks ? TrimmedView(c.text, c.blanks) : TrimmedView(c.text), c.trimmed);
    }
    EXPECT_EQ(Trim("  kept  "), "kept");
}

TEST(Strings, ReplaceAllGoesLeftToRightAndNeverSearchesAReplacement) {
    EXPECT_EQ(ReplaceAll("a&b&", "&", "&amp;"), "a&amp;b&amp;");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("x: y", ": ", ":_"), "x:_y");
    EXPECT_EQ(ReplaceAll("none", "z", "y"), "none");
}

TEST(Strings, HexIsUpperCaseWithLeadingZeros) {
    EXPECT_EQ(Hex(0xBEEF, 8), "0000BEEF");
    EXPECT_EQ(Hex(0x1234567890ULL, 4), "1234567890");
    EXPECT_EQ(Hex(0, 1), "0");
}

TEST(Strings, ExpansionReplacesKnownNamesAndKeepsTheRest) {
    ::setenv("FT_STRINGS_NAME", "Olvendra", 1);
    ::unsetenv("FT_STRINGS_UNSET");
    const struct {
        std::string text;
        std::string expanded;
    } cases[] = {
        {"%FT_STRINGS_NAME%", "Olvendra"},
        {"100%%FT_STRINGS_NAME%", "100%Olvendra"},
        {"%FT_STRINGS_UNSET% left", "%FT_STRINGS_UNSET% left"},
        {"%%", "%%"},
        {"open % only", "open % only"},
        {std::string("a\0%FT_STRINGS_NAME%", 19), std::string("a\0Olvendra", 10)},
        {std::string("%FT_STRINGS_NAME\0%", 18), std::string("%FT_STRINGS_NAME\0%", 18)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ExpandEnvironment(c.text), c.expanded);
    }
}

} // namespace
} // namespace faulttrap
