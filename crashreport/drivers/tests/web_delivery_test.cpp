// The delivery step through the whole processing: an exception handed to FaultTrap in this
// program (with its data embedded and the Qt application object) is logged and uploaded to a
// real web server on loopback, with the program's event handlers, the send progress window and
// the result message on the GUI thread.

#include "crashreport/drivers/tests/program_failure.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/events.h"
#include "crashreport/qt/fault_application.h"
#include "crashreport/web/tests/web_peer_fixture.h"

#include <QClipboard>

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

class WebDeliveryThroughProcessing : public test::WebPeerTest {
protected:
    void SetUp() override {
        test::WebPeerTest::SetUp();
        TFaultModuleOptionsEx& options = MainModuleOptions();
        options.SetExceptionDialogType(TFaultDialogType::None);
        options.SetLogFolder((folder_.Path() / "reports.ftlog").string());
        options.SetWebSendMode(TFaultWebSendMode::HTTP);
        options.SetWebPort(server_->Port());
        options.SetSendOptions(send_options::ShowSendProgress | send_options::ShowSendResult);
        handlers_.ExceptionActionNotify = [this](TFaultExceptionRecord&, int action, bool&) {
            actions_.push_back(action);
        };
        handlers_.CustomWebFieldsRequest = [](TFaultExceptionRecord&,
                                              std::vector<std::string>& fields) {
            fields.push_back("pharmacy=Central");
        };
        handlers_.ExceptionErrorNotify = [this](TFaultExceptionRecord&, TFaultTrapErrorCode code,
                                                const std::string& text, bool& retry) {
            errors_.push_back(std::string(ErrorCodeName(code)) + " " + text);
            retry = errors_.size() < 2;
        };
    }

    TFaultTrap handlers_;
    std::vector<int> actions_;
    std::vector<std::string> errors_;
    test::MessageReader reader_;
};

TEST_F(WebDeliveryThroughProcessing, UploadsTheArchiveWithTheHandlersFields) {
    MainModuleOptions().SetWebURL("http://127.0.0.1/upload/ok");
    test::FailInEventLoop();
    const std::vector<std::string> received = Received();
    ASSERT_EQ(received.size(), 1u);
    const std::string& request = received[0];
    EXPECT_EQ(request.rfind("POST /upload/ok HTTP/1.1\r\n", 0), 0u) << test::HeadOf(request);
    EXPECT_NE(request.find("name=\"pharmacy\";\r\n\r\nCentral\r\n"), std::string::npos);
    const std::size_t file = request.find("name=\"ft_upload_file_0\"; filename=\"");
    ASSERT_NE(file, std::string::npos) << test::HeadOf(request);
    EXPECT_NE(request.find(".zip\";\r\nContent-Type: application/octet-stream", file),
              std::string::npos);
    // Log before and after, web before and after; no dialog was configured.
    EXPECT_EQ(actions_, (std::vector<int>{2, 3, 6, 7}));
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(reader_.told,
              (std::vector<std::string>{
                  "deliveryMessage: Information. | The message was sent successfully."}));
}

TEST_F(WebDeliveryThroughProcessing, AFailedUploadIsToldRetriedAndCopiedToTheClipboard) {
    MainModuleOptions().SetWebURL("http://127.0.0.1/upload/fail");
    TFaultModuleOptionsEx& options = MainModuleOptions();
    const std::uint16_t behaviour = options.BehaviourOptions();
    options.SetBehaviourOptions(behaviour | behaviour_options::CopyReportOnSendFailure);
    QApplication::clipboard()->clear();
    test::FailInEventLoop();
    options.SetBehaviourOptions(behaviour);
    // The handler asked for one retry: two uploads, two warnings, each shown over the send
    // window, then the failure.
    EXPECT_EQ(Received().size(), 2u);
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[0], "eeWebHTTPError HTTP error code: 500 (Internal Server Error)");
    EXPECT_EQ(reader_.told,
              (std::vector<std::string>{
                  "sendErrorBox: Error. | HTTP error code: 500 (Internal Server Error)",
                  "sendErrorBox: Error. | HTTP error code: 500 (Internal Server Error)",
                  "deliveryMessage: Information. | Sorry, sending the message didn't work."}));
    EXPECT_EQ(actions_, (std::vector<int>{2, 3, 6, 7}));
    // The report that did not go out is on the clipboard.
    EXPECT_TRUE(QApplication::clipboard()->text().contains("Stock went negative"));
}

} // namespace
} // namespace faulttrap

int main(int argc, char** argv) {
    faulttrap::TFaultApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
