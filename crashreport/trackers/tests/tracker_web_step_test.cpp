#include "crashreport/trackers/tests/fake_tracker_fixture.h"
#include "crashreport/web/tests/progress_log.h"

#include "crashreport/trackers/send_to_tracker.h"
#include "crashreport/web/web_step.h"

namespace faulttrap {
namespace {

// The web step's events as the exception processing gives them, with the tracker method filled
// in by TrackerWebStep; writes down what the user is told.
class TTrackerEvents : public TWebStepEvents, public TTrackerNotices {
public:
    TTrackerEvents(const TFaultModuleOptions& options, std::string packedFile)
        : options_(options), packedFile_(std::move(packedFile)) {}

    bool BeforeWebSend() override { return true; }
    void AfterWebSend() override {}
    bool RetryWebSend() override { return false; }
    std::vector<std::string> CustomWebFields() override { return {}; }
    void Warn(const TWebWarning& warning) override {
        told.push_back(std::string(WarningCodeName(warning.code)) + ": " + warning.text);
    }
    void TellBugClosed(const std::string& caption, const std::string& text) override {
        told.push_back(caption + " " + text);
    }
    TSendProgressReceiver* OpenSendProgress(bool) override { return &window; }
    void CloseSendProgress() override {}
    bool SendToTracker(TFaultWebSendMode mode, const std::string& endpoint,
                       const std::string& proxy, TSendProgressReceiver* progress,
                       const TTransferLimits& limits) override {
        const TTrackerReport report = TrackerReportOf(options_, "2.1", "EAccessViolation",
                                                      "Access violation", "1A2B", packedFile_);
        return TrackerWebStep(mode, endpoint, proxy, progress, report, options_.CustomizedTexts(),
                              *this, limits);
    }

    std::vector<std::string> told;
    test::TProgressLog window;

private:
    const TFaultModuleOptions& options_;
    std::string packedFile_;
};

class TrackerWebStepTest : public test::FakeTrackerTest {
protected:
    void Configure(TFaultWebSendMode mode) {
        options_.SetWebSendMode(mode);
        options_.SetWebURL("http://127.0.0.1/bugs");
        options_.SetWebPort(tracker_->Port());
        options_.SetTrackerUserID("ana");
        options_.SetTrackerPassword("segredo");
        options_.SetTrackerProject("Pharmacy");
        options_.SetTrackerCategory("Crashes");
    }
    bool Send(TTrackerEvents& events) { return SendByWeb(options_, {}, events); }

    TFaultModuleOptions options_{"", false};
};

TEST_F(TrackerWebStepTest, AClosedBugSucceedsAndTellsTheUser) {
    StartTracker("mantis", {"--title", "[v2.0 - 3]: 1A2B (EAccessViolation)", "--closed"});
    Configure(TFaultWebSendMode::Mantis);
    TTrackerEvents events(options_, archive_);
    EXPECT_TRUE(Send(events));
    EXPECT_EQ(events.told, (std::vector<std::string>{
                               "Information. These BUG is just closed.\r\nContact the program "
                               "support to obtain an update."}));
    EXPECT_EQ(events.window.events,
              (std::vector<std::string>{
                  "status:Connecting with server...", "bar:5", "status:Connected with server.",
                  "bar:10", "status:Login...", "bar:15", "status:Select project...", "bar:20",
                  "status:Searching...", "bar:25", "status:Modifying...", "bar:25",
                  "status:Disconnecting...", "status:Disconnected."}));
}

TEST_F(TrackerWebStepTest, ARefusedLogInFailsWithItsWarning) {
    StartTracker("bugzilla");
    Configure(TFaultWebSendMode::Bugzilla);
    options_.SetTrackerPassword("wrong");
    TTrackerEvents events(options_, archive_);
    EXPECT_FALSE(Send(events));
    EXPECT_EQ(events.told, (std::vector<std::string>{"eeWebTrakerError: Invalid login request."}));
}

TEST_F(TrackerWebStepTest, AnUpdatedBugSucceedsSilently) {
    StartTracker("fogbugz", {"--title", "[v2.0 - 3]: 1A2B (EAccessViolation)"});
    Configure(TFaultWebSendMode::FogBugz);
    TTrackerEvents events(options_, archive_);
    EXPECT_TRUE(Send(events));
    EXPECT_TRUE(events.told.empty());
    EXPECT_EQ(Received().back().fields.at(1), "sTitle=[v2.0 - 4]: 1A2B (EAccessViolation)");
}

TEST(TrackerWebStepOpenTest, AConnectionThatCannotBeOpenedFailsWithItsText) {
    TFaultModuleOptions options{"", false};
    options.SetWebSendMode(TFaultWebSendMode::Mantis);
    options.SetWebURL("http://");
    TTrackerEvents events(options, "");
    EXPECT_FALSE(SendByWeb(options, {}, events));
    ASSERT_EQ(events.told.size(), 1u);
    EXPECT_TRUE(events.told[0].starts_with(
        "eeWebTrakerError: Cannot create an HTTP connection with the host: "))
        << events.told[0];
}

} // namespace
} // namespace faulttrap
