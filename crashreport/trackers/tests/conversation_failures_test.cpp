#include "crashreport/trackers/tests/fake_tracker_fixture.h"

#include "crashreport/trackers/send_to_tracker.h"

#include <algorithm>

namespace faulttrap {
namespace {

enum class TChange { None, WrongPassword, UnknownProject };

struct TEnding {
    const char* name;
    TFaultWebSendMode mode;
    std::vector<std::string> scenario;
    TChange change;
    TTrackerResult result;
    std::string lastRequest; // nothing is sent after it
    std::string sentField;   // a field one of the requests carried; empty: no check
};

const char* const OpenBug = "[v2.0 - 3]: 1A2B (EAccessViolation)";
const char* const FullCounter = "[v2.0 - 9999]: 1A2B (EAccessViolation)";
const char* const NoCounter = "1A2B (EAccessViolation) at start-up";

const TEnding Endings[] = {
    {"MantisRefusedLogin",
     TFaultWebSendMode::Mantis,
     {},
     TChange::WrongPassword,
     TTrackerResult::LoginRefused,
     "GET login_page.php",
     "password=wrong"},
    {"MantisUnknownProject",
     TFaultWebSendMode::Mantis,
     {},
     TChange::UnknownProject,
     TTrackerResult::SelectionFailed,
     "GET my_view_page.php",
     "project_id=0"},
    {"MantisFailedSearch",
     TFaultWebSendMode::Mantis,
     {"--fail-search"},
     TChange::None,
     TTrackerResult::SearchFailed,
     "POST view_all_set.php",
     ""},
    {"MantisFullCounter",
     TFaultWebSendMode::Mantis,
     {"--title", FullCounter},
     TChange::None,
     TTrackerResult::Done,
     "GET bug_update_page.php",
     ""},
    {"MantisNoCounter",
     TFaultWebSendMode::Mantis,
     {"--title", NoCounter},
     TChange::None,
     TTrackerResult::Done,
     "POST bug_update.php",
     std::string("summary=") + NoCounter},
    {"BugzillaRefusedLogin",
     TFaultWebSendMode::Bugzilla,
     {},
     TChange::WrongPassword,
     TTrackerResult::LoginRefused,
     "POST enter_bug.cgi",
     ""},
    {"BugzillaUnknownProduct",
     TFaultWebSendMode::Bugzilla,
     {},
     TChange::UnknownProject,
     TTrackerResult::SelectionFailed,
     "GET enter_bug.cgi",
     "product=Unknown"},
    {"BugzillaFailedSearch",
     TFaultWebSendMode::Bugzilla,
     {"--fail-search"},
     TChange::None,
     TTrackerResult::SearchFailed,
     "GET buglist.cgi",
     ""},
    {"BugzillaClosedBug",
     TFaultWebSendMode::Bugzilla,
     {"--title", OpenBug, "--closed"},
     TChange::None,
     TTrackerResult::BugClosed,
     "GET show_bug.cgi",
     ""},
    {"BugzillaFullCounter",
     TFaultWebSendMode::Bugzilla,
     {"--title", FullCounter},
     TChange::None,
     TTrackerResult::Done,
     "GET show_bug.cgi",
     ""},
    {"BugzillaNoCounter",
     TFaultWebSendMode::Bugzilla,
     {"--title", NoCounter},
     TChange::None,
     TTrackerResult::Done,
     "POST process_bug.cgi",
     std::string("short_desc=") + NoCounter},
    {"FogBugzRefusedLogin",
     TFaultWebSendMode::FogBugz,
     {},
     TChange::WrongPassword,
     TTrackerResult::LoginRefused,
     "POST default.asp",
     ""},
    {"FogBugzUnknownProject",
     TFaultWebSendMode::FogBugz,
     {},
     TChange::UnknownProject,
     TTrackerResult::InsertFailed,
     "POST default.asp",
     "ixProject=0"},
    {"FogBugzFailedSearch",
     TFaultWebSendMode::FogBugz,
     {"--fail-search"},
     TChange::None,
     TTrackerResult::SearchFailed,
     "GET default.asp",
     "pre=preSearch"},
    {"FogBugzClosedBug",
     TFaultWebSendMode::FogBugz,
     {"--title", OpenBug, "--closed"},
     TChange::None,
     TTrackerResult::BugClosed,
     "GET default.asp",
     "command=edit"},
    {"FogBugzFullCounter",
     TFaultWebSendMode::FogBugz,
     {"--title", FullCounter},
     TChange::None,
     TTrackerResult::Done,
     "GET default.asp",
     "command=edit"},
    {"FogBugzNoCounter",
     TFaultWebSendMode::FogBugz,
     {"--title", NoCounter},
     TChange::None,
     TTrackerResult::Done,
     "POST default.asp",
     std::string("sTitle=") + NoCounter},
};

std::string TrackerName(TFaultWebSendMode mode) {
    switch (mode) {
    case TFaultWebSendMode::Bugzilla:
        return "bugzilla";
    case TFaultWebSendMode::FogBugz:
        return "fogbugz";
    default:
        return "mantis";
    }
}

class ConversationEndingTest : public test::FakeTrackerTest,
                               public testing::WithParamInterface<TEnding> {};

TEST_P(ConversationEndingTest, StopsWithItsResultAndSendsNothingMore) {
    const TEnding& ending = GetParam();
    StartTracker(TrackerName(ending.mode), ending.scenario);
    TTrackerReport report = Report();
    if (ending.change == TChange::WrongPassword) {
        report.password = "wrong";
    }
    if (ending.change == TChange::UnknownProject) {
        report.project = "Unknown";
    }

    THTTPResponse response;
    EXPECT_EQ(TrackerConversation(ending.mode, BaseConnectionMaker())
                  ->Submit(Url(), "", report, response),
              ending.result);

    const auto received = Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().line, ending.lastRequest);
    const auto carries = [&](const test::TTrackerRequest& request) {
        return std::count(request.fields.begin(), request.fields.end(), ending.sentField) > 0;
    };
    if (!ending.sentField.empty()) {
        EXPECT_TRUE(std::any_of(received.begin(), received.end(), carries)) << ending.sentField;
    }
}

INSTANTIATE_TEST_SUITE_P(Trackers, ConversationEndingTest, testing::ValuesIn(Endings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace faulttrap
