#include "crashreport/trackers/character_references.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

struct TDecoding {
    std::string text;
    std::string decoded;
};

class CharacterReferencesTest : public testing::TestWithParam<TDecoding> {};

TEST_P(CharacterReferencesTest, Decodes) {
    EXPECT_EQ(DecodeCharacterReferences(GetParam().text), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CharacterReferencesTest,
    testing::Values(TDecoding{"Tom &amp; Jerry", "Tom & Jerry"},
                    // "&amp;" is replaced before "&lt;", so the reference it leaves is decoded too.
                    TDecoding{"&amp;lt;", "<"}, TDecoding{"&amp;quot;&amp;gt;", "\">"},
                    // "&Aacute;" comes before "&amp;": what "&amp;" leaves of it stays.
                    TDecoding{"&amp;Aacute;", "&Aacute;"},
                    TDecoding{"Farm&aacute;cia S&atilde;o Jo&atilde;o", "Farm\xE1"
                                                                        "cia S\xE3o Jo\xE3o"},
                    TDecoding{"&AElig;&szlig;&THORN;&eth;&yuml;", "\xC6\xDF\xDE\xF0\xFF"},
                    TDecoding{"a&nbsp;b", "a b"}, TDecoding{"&AACUTE;", "&AACUTE;"},
                    TDecoding{"&#60;&#062;&#33;", "<>!"}, TDecoding{"&#321;", "A"},
                    TDecoding{"&#99999999999999999999999;", std::string(1, '\xFF')},
                    TDecoding{"&#0;", std::string(1, '\0')},
                    TDecoding{"&#;&#x3C;&#12", "&#;&#x3C;&#12"}, TDecoding{"&amp;#65;", "A"},
                    TDecoding{"no references", "no references"}));

TEST(KnownReferenceTest, TellsDecodableReferencesFromOtherAmpersands) {
    EXPECT_TRUE(IsKnownReferenceAt("x&nbsp;", 1));
    EXPECT_TRUE(IsKnownReferenceAt("&#8;", 0));
    EXPECT_FALSE(IsKnownReferenceAt("&raquo;", 0));
    EXPECT_FALSE(IsKnownReferenceAt("&#x41;", 0));
    EXPECT_FALSE(IsKnownReferenceAt("&", 0));
}

} // namespace
} // namespace faulttrap
