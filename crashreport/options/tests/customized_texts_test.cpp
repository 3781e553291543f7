#include "crashreport/options/customized_texts.h"
#include "crashreport/options/environment_expansion.h"
#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace faulttrap {
namespace {

TEST(CustomizedTexts, DefaultsAreTheTextsOfEachGroup) {
    const struct {
        std::size_t index;
        const char* text;
    } cases[] = {
        {0, "Information."},
        {2, "Error."},
        {3, "Error occurred"},
        {4, "An error has occurred during program execution.\r\n"
            "Please read the following information for further details."},
        {25, "Go to the Support Page"},
        {26, "The application has encountered a problem. We are sorry for the inconvenience."},
        {33, "What were you doing when the problem happended (optional)?"},
        {36, "&Don't Send"},
        {37, "Application"},
        {80, "Build #"},
        {91, "Custom Information"},
        {92, "Address"},
        {97, "Line"},
        {98, "Main"},
        {104, "Class"},
        {105, "Memory Leak"},
        {109, "Count"},
        {110, "Send."},
        {122, "Disconnected."},
        {123, "Request"},
        {125, "&OK"},
        {126, "Handle"},
        {132, "Path"},
        {133, "ID"},
        {140, "Path"},
        {141, "Registers"},
        {143, "Memory Dump"},
        {144, "The message was sent successfully."},
        {146, "These BUG is just closed.\r\nContact the program support to obtain an update."},
        {152, "Invalid modify request."},
        {153, ""},
        {154, "Multi Free memory leak."},
        {156, "The application seems to be frozen."},
        {157, "Invalid email."},
    };
    const TCustomizedTexts texts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(texts.StoredText(TextIdOfNumber(c.index)), c.text);
    }
}

TEST(CustomizedTexts, EveryTextHasItsOwnNameThatFindsIt) {
    const struct {
        TextId id;
        const char* name;
    } cases[] = {
        {TextId::InformationCaption, "InformationCaption"},
        {TextId::SendButton, "SendButton"},
        {TextId::CustomInformationSection, "CustomInformationSection"},
        {TextId::InvalidEmail, "InvalidEmail"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextName(c.id), c.name);
        EXPECT_EQ(TextIdNamed(c.name), c.id);
    }
    EXPECT_EQ(TextIdNamed("sendbutton"), TextId::SendButton) << "letter case is not asked";
    EXPECT_EQ(TextIdNamed("SendBtn"), std::nullopt);
    EXPECT_EQ(TextIdNamed(""), std::nullopt);
    for (std::size_t number = 0; number < TCustomizedTexts::Count; ++number) {
        const TextId id = TextIdOfNumber(number);
        SCOPED_TRACE(number);
        EXPECT_FALSE(TextName(id).empty());
        EXPECT_EQ(TextIdNamed(TextName(id)), id) << "two texts share the name " << TextName(id);
    }
}

TEST(CustomizedTexts, IndexOutsideTheTextsIsRefused) {
    TCustomizedTexts texts;
    EXPECT_THROW(TextIdOfNumber(158), std::out_of_range);
    EXPECT_THROW(texts.Text(static_cast<TextId>(158)), std::out_of_range);
    EXPECT_THROW(texts.SetText(static_cast<TextId>(158), "x"), std::out_of_range);
}

class TextExpansion : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("FT_TEST_NAME", "Olvendra", 1);
        setenv("FT_TEST_EMPTY", "", 1);
        unsetenv("FT_TEST_MISSING");
    }
    void TearDown() override {
        unsetenv("FT_TEST_NAME");
        unsetenv("FT_TEST_EMPTY");
    }
};

TEST_F(TextExpansion, KnownVariablesAreReplacedOthersStay) {
    const struct {
        std::string stored;
        std::string expanded;
    } cases[] = {
        {"plain", "plain"},
        {"%FT_TEST_NAME%", "Olvendra"},
        {"Hello %FT_TEST_NAME%!", "Hello Olvendra!"},
        {"%FT_TEST_NAME%%FT_TEST_NAME%", "OlvendraOlvendra"},
        {"[%FT_TEST_EMPTY%]", "[]"},
        {"%FT_TEST_MISSING%", "%FT_TEST_MISSING%"},
        // " of " is looked up and missing; its closing '%' then opens the next reference.
        {"50% of %FT_TEST_NAME%", "50% of Olvendra"},
        {"100%%FT_TEST_NAME%", "100%Olvendra"},
        {"%%", "%%"},
        {"trailing %", "trailing %"},
        {"%FT_TEST_MISSING%FT_TEST_NAME%", "%FT_TEST_MISSINGOlvendra"},
        {std::string("cut\0here", 8), "cut"},
        {"caf\xE9 %FT_TEST_NAME%", "caf\xE9 Olvendra"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(ExpandEnvironmentVariables(c.stored), c.expanded);
    }
}

TEST_F(TextExpansion, TextsAreExpandedEachTimeTheyAreRead) {
    testing::CountingOptions options;
    options.SetCustomizedText(TextId::InformationCaption, "Module %FT_TEST_NAME%");
    EXPECT_EQ(options.CustomizedText(TextId::InformationCaption), "Module Olvendra");
    setenv("FT_TEST_NAME", "Other", 1);
    EXPECT_EQ(options.CustomizedText(TextId::InformationCaption), "Module Other");
    EXPECT_EQ(options.CustomizedTexts().StoredText(TextId::InformationCaption),
              "Module %FT_TEST_NAME%");
}

} // namespace
} // namespace faulttrap
