#include "crashreport/trackers/tracker_result.h"
#include "crashreport/trackers/tracker_texts.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(TrackerTextsTest, SummaryAndSearchTextNameTheError) {
    EXPECT_EQ(TrackerSummary("2.1.0.5", "1A2B", "EAccessViolation"),
              "[v2.1.0.5 - 1]: 1A2B (EAccessViolation)");
    EXPECT_EQ(TrackerSearchText("1A2B", "EAccessViolation"), "1A2B (EAccessViolation)");
}

TEST(TrackerTextsTest, DescriptionEndsInAFullStop) {
    EXPECT_EQ(TrackerDescription("Access violation"), "Access violation.");
    EXPECT_EQ(TrackerDescription("Division by zero."), "Division by zero.");
    EXPECT_EQ(TrackerDescription(""), ".");
}

struct TBump {
    std::string title;
    std::optional<std::string> bumped;
};

class BumpedTitleTest : public testing::TestWithParam<TBump> {};

TEST_P(BumpedTitleTest, RaisesTheCounter) {
    EXPECT_EQ(BumpedTitle(GetParam().title), GetParam().bumped);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, BumpedTitleTest,
    testing::Values(
        TBump{"[v2.0 - 3]: 1A2B (EAccessViolation)", "[v2.0 - 4]: 1A2B (EAccessViolation)"},
        TBump{"[v2.0 - 9]: x - 5]", "[v2.0 - 10]: x - 5]"},
        TBump{"[v2.0 - 0099]: x", "[v2.0 - 100]: x"}, TBump{"[v2.0 - 9998]: x", "[v2.0 - 9999]: x"},
        TBump{"[v2.0 - 9999]: x", std::nullopt},
        TBump{"[v2.0 - 123456789012345678901234567890]: x", std::nullopt},
        TBump{"ends in a counter - 41", "ends in a counter - 42"},
        TBump{"1A2B (EAccessViolation)", "1A2B (EAccessViolation)"},
        TBump{"[v2.0 - three]: x", "[v2.0 - three]: x"}, TBump{"[v2.0 - ]: x", "[v2.0 - ]: x"},
        TBump{"[v2.0 - -3]: x", "[v2.0 - -3]: x"}, TBump{"", ""}));

TEST(BugNumberTest, TakesTheTextAfterTheMarkerInLowerCase) {
    EXPECT_EQ(BugNumberAfter(R"(<a href="SHOW_BUG.CGI?ID=42">)", "show_bug.cgi?id="), "42");
    EXPECT_EQ(BugNumberAfter("ixBug=7A&amp;x ixBug=8", "ixBug="), "7a");
    EXPECT_EQ(BugNumberAfter("bug_id=12 more", "bug_id="), "12");
    EXPECT_EQ(BugNumberAfter("bug_id=12'", "bug_id="), "12");
    EXPECT_EQ(BugNumberAfter("bug_id=12\\n", "bug_id="), "12");
    EXPECT_EQ(BugNumberAfter("bug_id=99", "bug_id="), "99");
    EXPECT_EQ(BugNumberAfter("no marker", "bug_id="), "");
}

TEST(TrackerResultTest, FailuresAreWarnedOfWithTheirTexts) {
    EXPECT_TRUE(TrackerStepSucceeded(TTrackerResult::Done));
    EXPECT_TRUE(TrackerStepSucceeded(TTrackerResult::BugClosed));
    EXPECT_FALSE(TrackerStepSucceeded(TTrackerResult::UnknownError));
    EXPECT_EQ(TextNumber(TrackerFailureText(TTrackerResult::UnknownError)), 147u);
    EXPECT_EQ(TextNumber(TrackerFailureText(TTrackerResult::LoginRefused)), 148u);
    EXPECT_EQ(TextNumber(TrackerFailureText(TTrackerResult::SearchFailed)), 149u);
    EXPECT_EQ(TextNumber(TrackerFailureText(TTrackerResult::SelectionFailed)), 150u);
    EXPECT_EQ(TextNumber(TrackerFailureText(TTrackerResult::InsertFailed)), 151u);
    EXPECT_EQ(TextNumber(TrackerFailureText(TTrackerResult::ModifyFailed)), 152u);
}

} // namespace
} // namespace faulttrap
