// The delivery step to a bug tracker through the whole processing: an exception handed to
// FaultTrap in this program is filed with a fake tracker on loopback; a bug the tracker knows as
// closed is told to the user instead of the result message.

#include "crashreport/trackers/tests/fake_tracker_fixture.h"

#include "crashreport/drivers/tests/program_failure.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/events.h"
#include "crashreport/intercept/runtime_state.h"
#include "crashreport/qt/fault_application.h"

#include <algorithm>

namespace faulttrap {
namespace {

class TrackerDelivery : public test::FakeTrackerTest {
protected:
    void Configure() {
        TFaultModuleOptionsEx& options = MainModuleOptions();
        options.SetExceptionDialogType(TFaultDialogType::None);
        options.SetLogFolder((folder_.Path() / "reports.ftlog").string());
        options.SetSendOptions(send_options::ShowSendProgress | send_options::ShowSendResult);
        options.SetWebSendMode(TFaultWebSendMode::Mantis);
        options.SetWebURL("http://127.0.0.1/bugs");
        options.SetWebPort(tracker_->Port());
        options.SetTrackerUserID("ana");
        options.SetTrackerPassword("segredo");
        options.SetTrackerProject("Pharmacy");
        options.SetTrackerCategory("Crashes");
    }

    test::MessageReader reader_;
};

TEST_F(TrackerDelivery, FilesANewBugWithTheArchive) {
    StartTracker("mantis", {"--project", "Pharmacy"});
    Configure();
    test::FailInEventLoop();
    const std::vector<test::TTrackerRequest> received = Received();
    ASSERT_FALSE(received.empty());
    const test::TTrackerRequest& filed = received.back();
    EXPECT_EQ(filed.line, "POST bug_report.php");
    const std::string summary =
        "summary=[v2.5.0.7 - 1]: " + RunTimeState().bugId + " (std::runtime_error)";
    EXPECT_NE(std::find(filed.fields.begin(), filed.fields.end(), summary), filed.fields.end());
    // The archive goes along as the report's file.
    EXPECT_TRUE(std::any_of(filed.fields.begin(), filed.fields.end(), [](const std::string& field) {
        return field.starts_with("file=@BugReport.zip:504b0304");
    }));
    EXPECT_EQ(reader_.told,
              (std::vector<std::string>{
                  "deliveryMessage: Information. | The message was sent successfully."}));
}

TEST_F(TrackerDelivery, AClosedBugIsToldInsteadOfTheResult) {
    // The tracker knows this error's bug as closed: it is started once the BugID is known, before
    // the web step, and the delivery's options are pointed at it.
    TFaultTrap handlers;
    handlers.ExceptionActionNotify = [this](TFaultExceptionRecord& record, int action, bool&) {
        if (action != fault_actions::BeforeWeb) {
            return;
        }
        StartTracker("mantis",
                     {"--project", "Pharmacy", "--title",
                      "[v - 3]: " + RunTimeState().bugId + " (std::runtime_error)", "--closed"});
        record.ModuleOptions->SetWebPort(tracker_->Port());
    };
    StartTracker("mantis", {"--project", "Pharmacy"});
    Configure();
    test::FailInEventLoop();
    EXPECT_EQ(reader_.told,
              (std::vector<std::string>{
                  "deliveryMessage: Information. | These BUG is just closed.\r\nContact the "
                  "program support to obtain an update."}));
    // The notice comes once the send window has closed.
    EXPECT_EQ(reader_.shownOverSendWindow, std::vector<bool>{false});
}

} // namespace
} // namespace faulttrap

int main(int argc, char** argv) {
    faulttrap::TFaultApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
