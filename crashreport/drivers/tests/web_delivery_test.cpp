// The delivery step through the whole processing: an exception handed to FaultTrap in this
// program (with its data embedded and the Qt application object) is logged and uploaded to a
// real web server on loopback, with the program's event handlers, the send progress window and
// the result message on the GUI thread.

#include "intercept/activation.h"
#include "intercept/dispatcher.h"
#include "intercept/events.h"
#include "intercept/qt/fault_application.h"
#include "web_peer_fixture.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace faulttrap {
namespace {

// Answers the message boxes of a delivery and writes down what they said.
class MessageReader : public QObject {
public:
    MessageReader() {
        connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
        timer_.start(10);
    }
    std::vector<std::string> told;

private:
    void Look() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            // A box of the same address may come again: the mark goes with the object.
            if (box == nullptr || !box->isVisible() || box->property("answered").toBool())
                continue;
            box->setProperty("answered", true);
            told.push_back(box->objectName().toStdString() + ": " +
                           box->windowTitle().toStdString() + " | " + box->text().toStdString());
            QTimer::singleShot(0, box, &QMessageBox::accept);
        }
    }
    QTimer timer_;
};

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

    // The program's event loop hands an exception to FaultTrap, as the application object does.
    void Fail() {
        QWidget window;
        window.resize(300, 200);
        window.show();
        QTimer::singleShot(0, [] {
            try {
                throw std::runtime_error("Stock went negative");
            } catch (...) {
                ExceptionManager(std::current_exception(), 0, 1);
            }
            QApplication::quit();
        });
        QApplication::exec();
    }

    TFaultTrap handlers_;
    std::vector<int> actions_;
    std::vector<std::string> errors_;
    MessageReader reader_;
};

TEST_F(WebDeliveryThroughProcessing, UploadsTheArchiveWithTheHandlersFields) {
    MainModuleOptions().SetWebURL("http://127.0.0.1/upload/ok");
    Fail();
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

TEST_F(WebDeliveryThroughProcessing, AFailedUploadIsToldAndRetriedWhenAHandlerAsks) {
    MainModuleOptions().SetWebURL("http://127.0.0.1/upload/fail");
    Fail();
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
}

} // namespace
} // namespace faulttrap

int main(int argc, char** argv) {
    faulttrap::TFaultApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
