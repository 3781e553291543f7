#include "crashreport/web/tests/progress_log.h"
#include "crashreport/web/tests/web_peer_fixture.h"

#include "crashreport/web/web_step.h"

namespace faulttrap {
namespace {

// Writes down every event of the web step, and answers as the test says.
class TRecordedEvents : public TWebStepEvents {
public:
    bool BeforeWebSend() override {
        log.push_back("before");
        return execute;
    }
    void AfterWebSend() override { log.push_back("after"); }
    bool RetryWebSend() override {
        log.push_back("error");
        return retries-- > 0;
    }
    std::vector<std::string> CustomWebFields() override {
        log.push_back("fields");
        return {"user=ana", "flag"};
    }
    void Warn(const TWebWarning& warning) override {
        log.push_back(std::string("warn ") + WarningCodeName(warning.code) + ": " + warning.text);
    }
    TSendProgressReceiver* OpenSendProgress(bool keepInFront) override {
        log.push_back(keepInFront ? "open in front" : "open");
        return &window;
    }
    void CloseSendProgress() override { log.push_back("close"); }
    bool SendToTracker(TFaultWebSendMode mode, const std::string& endpoint,
                       const std::string& proxy, TSendProgressReceiver* progress,
                       const TTransferLimits&) override {
        log.push_back("tracker " + std::to_string(static_cast<int>(mode)) + " " + endpoint +
                      " via " + proxy + (progress == &window ? " shown" : ""));
        return true;
    }

    bool execute = true;
    int retries = 0;
    std::vector<std::string> log;
    test::TProgressLog window;
};

class WebStepTest : public test::WebPeerTest {
protected:
    void SetUp() override {
        WebPeerTest::SetUp();
        options_.SetWebSendMode(TFaultWebSendMode::HTTP);
        options_.SetWebURL("http://127.0.0.1/upload/fail");
        options_.SetWebPort(server_->Port());
        files_ = {{folder_.Write("BugReport.zip", "zip"), "BugReport.zip"}};
    }
    TFaultModuleOptions options_{"", false};
    std::vector<TWebUploadFile> files_;
    TRecordedEvents events_;
};

TEST_F(WebStepTest, AFailureWarnsAndIsSentAgainWhileAHandlerAsks) {
    events_.retries = 1;
    EXPECT_FALSE(SendByWeb(options_, files_, events_));
    const std::string warning = "warn eeWebHTTPError: HTTP error code: 500 (Internal Server Error)";
    EXPECT_EQ(events_.log, (std::vector<std::string>{"before", "open in front", "fields", warning,
                                                     "close", "error", "open in front", "fields",
                                                     warning, "close", "error", "after"}));
    const auto received = Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_NE(received[0].find("name=\"user\";\r\n\r\nana\r\n"), std::string::npos);
    EXPECT_NE(received[0].find("name=\"flag\";\r\n\r\n\r\n"), std::string::npos);
}

TEST_F(WebStepTest, ACancelledStepSendsNothing) {
    events_.execute = false;
    EXPECT_FALSE(SendByWeb(options_, files_, events_));
    EXPECT_EQ(events_.log, (std::vector<std::string>{"before"}));
    EXPECT_TRUE(Received().empty());
}

TEST_F(WebStepTest, SucceedsWithoutWarningAndInTheBackgroundKeepsTheWindowBehind) {
    options_.SetWebURL("http://127.0.0.1/upload/ok");
    options_.SetSendOptions(options_.SendOptions() | send_options::SendInThread);
    EXPECT_TRUE(SendByWeb(options_, files_, events_));
    EXPECT_EQ(events_.log,
              (std::vector<std::string>{"before", "open", "fields", "close", "after"}));
    EXPECT_EQ(events_.window.events.back(), "bar:100");
}

TEST_F(WebStepTest, TrackersGetTheEndpointWithPortAndCredentials) {
    options_.SetWebSendMode(TFaultWebSendMode::Mantis);
    options_.SetWebURL("http://bugs.example.com/mantis");
    options_.SetWebPort(8080);
    options_.SetWebUserID("web");
    options_.SetWebPassword("pw");
    options_.SetProxyHost("proxy.lan");
    EXPECT_TRUE(SendByWeb(options_, files_, events_));
    EXPECT_EQ(events_.log[2], "tracker 6 http://web:pw@bugs.example.com/mantis:8080 via "
                              "proxy.lan:8080 shown");
}

} // namespace
} // namespace faulttrap
