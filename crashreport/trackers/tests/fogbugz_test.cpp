#include "crashreport/trackers/tests/fake_tracker_fixture.h"

#include "crashreport/trackers/fogbugz_send_report.h"

namespace faulttrap {
namespace {

using Request = test::TTrackerRequest;

class FogBugzTest : public test::FakeTrackerTest {
protected:
    TTrackerResult Submit(const TTrackerReport& report) {
        THTTPFogBugzSendReport conversation;
        THTTPResponse response;
        return conversation.Submit(Url(), "", report, response);
    }
    static Request Search() {
        return {"GET default.asp",
                {"pre=preSearch", "pg=pgList", "pgBack=pgSearch", "search=1",
                 "bAlsoSearchClosedBugs=ON", "searchFor=1A2B (EAccessViolation)"}};
    }
};

// The log-in is answered with a 302 redirect, which the connection follows to the page.
TEST_F(FogBugzTest, FilesANewBugWithTheArchiveAttached) {
    StartTracker("fogbugz", {"--login-redirect"});
    TTrackerReport report = Report();
    report.extraId = "7";
    EXPECT_EQ(Submit(report), TTrackerResult::Done);

    const std::vector<Request> expected{
        {"POST default.asp",
         {"pre=preLogon", "sPerson=ana", "sPassword=segredo", "fRememberPassword=0", "ID=7"}},
        {"GET default.asp", {"pg=pgList"}},
        Search(),
        {"GET default.asp", {"command=new", "pg=pgEditBug"}},
        {"POST default.asp",
         {"pre=preSubmitBug",
          "command=new",
          "dtTimeStamp=1/31/2024 11:59:59 PM",
          "ixBug=0",
          "ixBugEventLatest=17",
          "ixPersonLastOwner=2",
          "ixDiscussTopic=0",
          "ixScreenshot=5",
          "sTitle=[v2.1 - 1]: 1A2B (EAccessViolation)",
          "sEvent=Access violation at address 0040.",
          "ixProject=7",
          "ixArea=3",
          "ixPersonAssignedTo=2",
          "ixCategory=1",
          "ixFixFor=1",
          "ixPriority=1",
          "sDueDate=2/29/2024",
          "sDueTime=5:00 PM",
          "hrsCurrEstNew=",
          "hrsElapsedNew=1",
          ArchivePart("File1")}}};
    EXPECT_EQ(Received(), expected);
}

// The search may link the bug's edit page or its event page.
TEST_F(FogBugzTest, RaisesTheCounterOfAnOpenBugAndKeepsItsFields) {
    for (const bool eventLink : {false, true}) {
        SCOPED_TRACE(eventLink ? "event link" : "edit link");
        std::vector<std::string> scenario{"--title", "[v2.0 - 3]: 1A2B (EAccessViolation)"};
        if (eventLink) {
            scenario.push_back("--event-link");
        }
        StartTracker("fogbugz", scenario);
        TTrackerReport report = Report();
        report.assignedTo.clear();
        EXPECT_EQ(Submit(report), TTrackerResult::Done);

        const std::vector<Request> expected{
            {"POST default.asp",
             {"pre=preLogon", "sPerson=ana", "sPassword=segredo", "fRememberPassword=0"}},
            Search(),
            {"GET default.asp", {"pg=pgEditBug", "command=edit", "ixBug=42"}},
            {"POST default.asp",
             {"pre=preSubmitBug",
              "sTitle=[v2.0 - 4]: 1A2B (EAccessViolation)",
              "command=edit",
              "dtTimeStamp=1/31/2024 11:59:59 PM",
              "ixBug=42",
              "ixBugEventLatest=17",
              "ixPersonLastOwner=2",
              "ixDiscussTopic=0",
              "ixScreenshot=5",
              "sOriginalTitle=[v2.0 - 3]: 1A2B (EAccessViolation)",
              "sEvent=Seen again.",
              "ixProject=7",
              "ixArea=3",
              "ixPersonAssignedTo=1",
              "ixCategory=1",
              "ixFixFor=1",
              "ixPriority=3",
              "sDueDate=2/29/2024",
              "sDueTime=5:00 PM",
              "hrsCurrEstNew=2",
              "hrsElapsedNew=1"}}};
        EXPECT_EQ(Received(), expected);
    }
}

} // namespace
} // namespace faulttrap
