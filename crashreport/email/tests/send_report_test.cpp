#include "crashreport/email/send_report.h"

#include "crashreport/options/fault_module_options.h"

#include "crashreport/email/tests/child_process.h"
#include "crashreport/email/tests/recorders.h"
#include "crashreport/email/tests/recording_smtp_server.h"
#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <future>
#include <thread>

namespace faulttrap {
namespace {

namespace fs = std::filesystem;
using testing::RecordingSmtpServer;

class RecordingDesktop : public TDeliveryDesktop {
public:
    void CopyToClipboard(const std::string& text) override { clipboard = text; }
    void ShowResult(const std::string& caption, const std::string& text, bool success) override {
        results.push_back(caption + "|" + text + "|" + (success ? "ok" : "failed"));
    }
    std::string clipboard;
    std::vector<std::string> results;
};

// The web step as the web delivery will plug it in: here it only takes the files.
class TakingWebDelivery : public TWebDelivery {
public:
    explicit TakingWebDelivery(bool succeeds) : succeeds_(succeeds) {}
    bool Send(const std::vector<std::string>& attachments) override {
        taken = attachments;
        archiveExisted = !attachments.empty() && fs::exists(attachments[0]);
        return succeeds_;
    }
    std::vector<std::string> taken;
    bool archiveExisted = false;

private:
    bool succeeds_;
};

class SendReportRun : public ::testing::Test {
protected:
    SendReportRun() {
        options_.SetEMailSendMode(TFaultEMailSendMode::SMTPClient);
        options_.SetSMTPHost("127.0.0.1");
        options_.SetSMTPFrom("bugs@example.com");
        options_.SetEMailAddresses("dev@example.org");
        options_.SetEMailSubject("Bug");
        options_.SetSendOptions(send_options::ShowSendResult | send_options::SendScreenshot);
        settings_.tempFolder = temp_.Path();
        settings_.logFileName = logs_ / "registry.ftlog";
        settings_.sendOptions = options_.SendOptions();
        settings_.attachScreenshot = true;
        settings_.computerName = "PC01";
        environment_.localHostName = "pharmacy-pc";
        environment_.senderName = "Maria";
        environment_.smtpTimeoutMs = 2000;
    }

    bool Run(const TReportPackage& package, TWebDelivery* web = nullptr) {
        temp_.Write("Screenshot.png", "png bytes");
        const TDeliveryRun run{options_, package,   "Report text\r\n", "",  nullptr,
                               events_,  progress_, desktop_,          web, environment_,
                               ""};
        return SendReport(run);
    }

    TFaultModuleOptions options_{"", false};
    testing::TempFolder temp_;
    testing::TempFolder logs_;
    TPackageSettings settings_;
    TEmailEnvironment environment_;
    testing::RecordingEvents events_;
    testing::RecordingProgress progress_;
    RecordingDesktop desktop_;
};

TEST_F(SendReportRun, DeliversTheArchiveTellsTheResultAndCleansUp) {
    RecordingSmtpServer server;
    options_.SetSMTPPort(server.Port());
    const TReportPackage package(settings_);
    EXPECT_TRUE(Run(package));

    const std::vector<std::string> talks = server.Conversations(1);
    ASSERT_EQ(talks.size(), 1u);
    EXPECT_NE(talks[0].find("        filename=\"BugReport.zip\"\r\n"), std::string::npos);
    // The empty extra-files value is one empty name, dropped later as a missing file.
    EXPECT_EQ(events_.requested, (std::vector<std::string>{"", package.ReportCopyPath().string(),
                                                           package.ScreenshotPath().string()}));
    EXPECT_EQ(events_.actions, (std::vector<int>{4, 5}));
    EXPECT_EQ(desktop_.results,
              std::vector<std::string>{"Information.|The message was sent successfully.|ok"});
    EXPECT_TRUE(desktop_.clipboard.empty());
    EXPECT_TRUE(fs::is_empty(temp_.Path())); // archive, report copy and screenshot are gone
}

TEST_F(SendReportRun, FailedRunCopiesTheReportAndKeepsTheArchive) {
    options_.SetSMTPPort(testing::FreeLoopbackPort(SOCK_STREAM));
    options_.SetBehaviourOptions(behaviour_options::CopyReportOnSendFailure |
                                 behaviour_options::SaveReportOnSendFailure);
    const TReportPackage package(settings_);
    EXPECT_FALSE(Run(package));
    EXPECT_EQ(desktop_.clipboard, "Report text\r\n");
    EXPECT_EQ(desktop_.results, std::vector<std::string>{
                                    "Information.|Sorry, sending the message didn't work.|failed"});
    EXPECT_TRUE(fs::exists(logs_ / "BugReport.zip"));
    EXPECT_TRUE(fs::is_empty(temp_.Path()));
    EXPECT_EQ(events_.errors, std::vector<int>{5});
}

TEST_F(SendReportRun, CancelledEmailStepFailsWithoutSending) {
    RecordingSmtpServer server;
    options_.SetSMTPPort(server.Port());
    events_.executeEmail = false;
    EXPECT_FALSE(Run(TReportPackage(settings_)));
    EXPECT_TRUE(server.Conversations().empty());
    EXPECT_EQ(events_.actions, std::vector<int>{4});
}

TEST_F(SendReportRun, UnknownEmailMethodSendsNothingAndFails) {
    RecordingSmtpServer server;
    options_.SetSMTPPort(server.Port());
    options_.SetEMailSendMode(static_cast<TFaultEMailSendMode>(9)); // from a damaged stream
    EXPECT_FALSE(Run(TReportPackage(settings_)));
    EXPECT_TRUE(server.Conversations().empty());
}

TEST_F(SendReportRun, RetryAskedByTheErrorEventRepeatsTheEmailStep) {
    options_.SetSMTPPort(testing::FreeLoopbackPort(SOCK_STREAM));
    options_.SetSendOptions(send_options::ShowSendProgress);
    events_.retries = 1;
    EXPECT_FALSE(Run(TReportPackage(settings_)));
    EXPECT_EQ(events_.errors, (std::vector<int>{5, 5}));
    EXPECT_EQ(events_.warnings.size(), 2u);
    EXPECT_EQ(progress_.steps.front(), "open 1");
    EXPECT_EQ(progress_.steps.back(), "close");
}

TEST_F(SendReportRun, WebStepGetsTheEmailArchiveAndBothMustSucceed) {
    RecordingSmtpServer server;
    options_.SetSMTPPort(server.Port());
    options_.SetWebSendMode(TFaultWebSendMode::HTTP);
    const TReportPackage package(settings_);
    TakingWebDelivery failingWeb(false);
    EXPECT_FALSE(Run(package, &failingWeb));
    EXPECT_EQ(failingWeb.taken, std::vector<std::string>{package.ArchivePath().string()});
    EXPECT_TRUE(failingWeb.archiveExisted);

    TakingWebDelivery web(true);
    EXPECT_TRUE(Run(package, &web));
    EXPECT_FALSE(Run(package, nullptr)); // a web method nobody can serve is no success
}

TEST_F(SendReportRun, BackgroundRunHoldsTheGlobalLockUntilItsChecksAreDone) {
    RecordingSmtpServer server;
    options_.SetSMTPPort(server.Port());
    temp_.Write("Screenshot.png", "png bytes");
    std::mutex globalLock;
    std::promise<std::pair<bool, bool>> finished;
    TSendThread::Start(std::make_shared<TDeliveryRun>(TDeliveryRun{
                           options_, TReportPackage(settings_), "Report text\r\n", "", nullptr,
                           events_, progress_, desktop_, nullptr, environment_, ""}),
                       globalLock, [&](bool sent) {
                           const bool lockHeld = !globalLock.try_lock();
                           finished.set_value({sent, lockHeld});
                       });
    std::future<std::pair<bool, bool>> result = finished.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(result.get(), std::make_pair(true, true));
    bool released = false;
    for (int i = 0; i < 200 && !released; ++i) {
        released = globalLock.try_lock();
        if (!released) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ASSERT_TRUE(released);
    globalLock.unlock();
    EXPECT_EQ(server.Conversations(1).size(), 1u);
}

} // namespace
} // namespace faulttrap
