#include "crashreport/trackers/tests/fake_tracker_fixture.h"

#include "crashreport/trackers/mantis_send_report.h"

namespace faulttrap {
namespace {

using Request = test::TTrackerRequest;

class MantisTest : public test::FakeTrackerTest {
protected:
    TTrackerResult Submit(const TTrackerReport& report) {
        THTTPMantisSendReport conversation;
        return conversation.Submit(Url(), "", report, response_);
    }
    // Log-in (answered by a redirect), project and search, finding a bug or not.
    std::vector<Request> FirstSteps(bool found) const {
        return {{"POST login.php",
                 {"return=login_select_proj_page.php", "username=ana", "password=segredo"}},
                {"GET login_select_proj_page.php", {}},
                {"POST set_project.php", {"project_id=7"}},
                {"GET my_view_page.php", {}},
                {"POST view_all_set.php",
                 {"f=3", "type=1", "page_number=1", "view_type=simple",
                  "search=1A2B (EAccessViolation)"}},
                {"GET view_all_bug_page.php", {found ? "found=1" : "found=0"}}};
    }
    THTTPResponse response_;
};

TEST_F(MantisTest, FilesANewBugWithTheArchiveAttached) {
    StartTracker("mantis");
    EXPECT_EQ(Submit(Report()), TTrackerResult::Done);

    std::vector<Request> expected = FirstSteps(false);
    expected.push_back({"GET bug_report_advanced_page.php", {}});
    expected.push_back(
        {"POST bug_report.php",
         {"m_id=0", "project_id=7", "handler_id=5", "category=2", "reproducibility=10",
          "severity=50", "priority=30", "platform=x86-64", "os=Debian", "os_build=12",
          "build=2.1.0", "summary=[v2.1 - 1]: 1A2B (EAccessViolation)",
          "description=Access violation at address 0040.", "steps_to_reproduce=",
          "additional_info=", "view_state=10", "report_stay=1", ArchivePart("file")}});
    EXPECT_EQ(Received(), expected);
    EXPECT_EQ(response_.page, "bug_report.php");
}

TEST_F(MantisTest, RaisesTheCounterOfAnOpenBugAndKeepsItsFields) {
    StartTracker("mantis", {"--title", "[v2.0 - 3]: 1A2B (EAccessViolation)"});
    EXPECT_EQ(Submit(Report()), TTrackerResult::Done);

    std::vector<Request> expected = FirstSteps(true);
    expected.push_back({"GET bug_update_page.php", {"bug_id=42"}});
    expected.push_back(
        {"POST bug_update.php",
         {"summary=[v2.0 - 4]: 1A2B (EAccessViolation)", "bug_id=42", "update_mode=1", "category=2",
          "severity=70", "reproducibility=10", "reporter_id=3", "view_state=10", "handler_id=5",
          "priority=40", "resolution=10", "description=Access violation & crash!",
          "additional_information=Seen at start-up.", "bugnote_text="}});
    EXPECT_EQ(Received(), expected);
}

// Resolved (80) and closed (90) both count as closed.
TEST_F(MantisTest, AClosedBugIsToldAndNothingIsSent) {
    for (const std::string status : {"80", "90"}) {
        SCOPED_TRACE(status);
        StartTracker("mantis", {"--title", "[v2.0 - 3]: 1A2B (EAccessViolation)", "--closed",
                                "--closed-status", status});
        EXPECT_EQ(Submit(Report()), TTrackerResult::BugClosed);
        const auto received = Received();
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back(), (Request{"GET bug_update_page.php", {"bug_id=42"}}));
    }
}

// The other page markers of Mantis versions: "[Reset Filter]" on the bug list, and the chosen
// project shown as a sub-project (" Pharmacy</option>") on the start page.
TEST_F(MantisTest, TheOtherMarkersOfTheSearchAndTheProjectPagesAreAccepted) {
    for (const std::string marker : {"--reset-filter-text", "--subproject"}) {
        SCOPED_TRACE(marker);
        StartTracker("mantis", {marker});
        EXPECT_EQ(Submit(Report()), TTrackerResult::Done);
        const auto received = Received();
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back().line, "POST bug_report.php");
    }
}

// Credentials in the address travel as the HTTP authorization of every request.
TEST_F(MantisTest, TheAddressCredentialsAreSentAsBasicAuthorization) {
    StartTracker("mantis", {"--basic-auth", "web user:p@ss"});
    const std::string url = Url();
    const std::string withCredentials = url.substr(0, 7) + "web%20user:p%40ss@" + url.substr(7);
    THTTPMantisSendReport conversation;
    EXPECT_EQ(conversation.Submit(withCredentials, "", Report(), response_), TTrackerResult::Done);
    StartTracker("mantis", {"--basic-auth", "web user:p@ss"});
    EXPECT_EQ(Submit(Report()), TTrackerResult::LoginRefused);
}

} // namespace
} // namespace faulttrap
