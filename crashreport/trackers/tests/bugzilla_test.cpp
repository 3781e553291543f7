#include "crashreport/trackers/tests/fake_tracker_fixture.h"

#include "crashreport/trackers/bugzilla_send_report.h"

namespace faulttrap {
namespace {

using Request = test::TTrackerRequest;

class BugzillaTest : public test::FakeTrackerTest {
protected:
    TTrackerResult Submit(const TTrackerReport& report) {
        THTTPBugzillaSendReport conversation;
        THTTPResponse response;
        return conversation.Submit(Url(), "", report, response);
    }
    static std::vector<Request> FirstSteps() {
        return {{"POST enter_bug.cgi",
                 {"project=Pharmacy", "Bugzilla_login=ana", "Bugzilla_password=segredo"}},
                {"GET buglist.cgi",
                 {"query_format=specific", "order=relevance desc", "bug_status=__all__",
                  "product=Pharmacy", "content=1A2B (EAccessViolation)"}}};
    }
};

// The log-in is answered with a refresh header, which the connection follows to the page.
TEST_F(BugzillaTest, FilesANewBugThenAttachesTheArchive) {
    StartTracker("bugzilla", {"--login-redirect"});
    EXPECT_EQ(Submit(Report()), TTrackerResult::Done);

    std::vector<Request> expected = FirstSteps();
    expected.insert(expected.begin() + 1, {"GET enter_bug.cgi", {}});
    expected.push_back({"GET enter_bug.cgi", {"product=Pharmacy"}});
    expected.push_back({"POST post_bug.cgi",
                        {"product=Pharmacy",
                         "version=2.0",
                         "component=Core",
                         "rep_platform=PC",
                         "op_sys=Linux",
                         "priority=P3",
                         "bug_severity=normal",
                         "target_milestone=---",
                         "bug_status=NEW",
                         "assigned_to=bruno",
                         "qa_contact=qa@example.com",
                         "cc=cc@example.com",
                         "estimated_time=0.0",
                         "deadline=2024-02-29",
                         "bug_file_loc=http://",
                         "short_desc=[v2.1 - 1]: 1A2B (EAccessViolation)",
                         "comment=Access violation at address 0040.",
                         "keywords=crash",
                         "dependson=7",
                         "blocked=9",
                         "form_name=enter_bug"}});
    expected.push_back(
        {"POST attachment.cgi",
         {"bugid=43", "action=insert", "description=FILE", "contenttypemethod=list",
          "contenttypeselection=application/octet-stream", "contenttypeentry=", "flag_type-1=X",
          "flag_type-2=X", "flag_type-3=X", "flag_type-4=X", "comment=", ArchivePart("data")}});
    EXPECT_EQ(Received(), expected);
}

TEST_F(BugzillaTest, RaisesTheCounterOfAnOpenBugAndKeepsItsFields) {
    StartTracker("bugzilla", {"--title", "[v2.0 - 3]: 1A2B (EAccessViolation)"});
    EXPECT_EQ(Submit(Report()), TTrackerResult::Done);

    std::vector<Request> expected = FirstSteps();
    expected.push_back({"GET show_bug.cgi", {"id=42"}});
    expected.push_back({"POST process_bug.cgi",
                        {"short_desc=[v2.0 - 4]: 1A2B (EAccessViolation)",
                         "delta_ts=2024-01-31 23:59:59",
                         "longdesclength=2",
                         "id=42",
                         "alias=crash-42",
                         "product=Pharmacy",
                         "component=Core",
                         "rep_platform=PC",
                         "op_sys=Linux",
                         "version=1.0",
                         "priority=P1",
                         "bug_severity=critical",
                         "target_milestone=---",
                         "newcc=new@example.com",
                         "cc=ana@example.com",
                         "qa_contact=qa@example.com",
                         "bug_file_loc=http://example.com/42",
                         "status_whiteboard=watch",
                         "keywords=crash",
                         "flag_type-6=X",
                         "requestee_type-6=ana",
                         "dependson=7",
                         "blocked=9",
                         "comment=",
                         "knob=none",
                         "resolution=FIXED",
                         "dup_id=11",
                         "assigned_to=bruno@example.com",
                         "form_name=process_bug"}});
    EXPECT_EQ(Received(), expected);
}

} // namespace
} // namespace faulttrap
