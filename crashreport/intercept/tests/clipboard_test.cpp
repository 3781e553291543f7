// The report reaches the clipboard as plain text when the user chose to copy it in the dialog,
// from the GUI thread and from any other thread.

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/events.h"
#include "crashreport/intercept/processing_hooks.h"
#include "crashreport/intercept/runtime_state.h"
#include "crashreport/qt/fault_application.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

namespace faulttrap {
namespace {

class ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Activate(true);
        static int argc = 1;
        static char name[] = "faulttrap_clipboard_tests";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<TFaultApplication>(argc, argv);
    }
    static void TearDownTestSuite() { application_.reset(); }

    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("faulttrap-clipboard-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        auto& options = MainModuleOptions();
        options.SetLogFolder((folder_ / "clipboard.ftlog").string());
        options.SetExceptionDialogType(TFaultDialogType::MessageBox);
        options.SetErrorFloodAction(TFaultAction::None);
        // The user's choice, as the dialog records it.
        SetDialogDriver([this](const DialogRequest&) {
            RunTimeState().copyToClipboard = copy_;
            return TFaultDialogType::None;
        });
        handlers_.ExceptionNotify = [this](TFaultExceptionRecord& record, bool&) {
            report_ = record.LogText;
        };
        QGuiApplication::clipboard()->setText("before");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static void Raise(const char* message) {
        ExceptionManager(std::make_exception_ptr(std::runtime_error(message)));
    }

    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    static std::unique_ptr<TFaultApplication> application_;
    std::filesystem::path folder_;
    bool copy_ = true;
    TFaultTrap handlers_;
    std::string report_;
};

std::unique_ptr<TFaultApplication> ClipboardTest::application_;

TEST_F(ClipboardTest, TheChosenCopyPutsTheReportOnTheClipboard) {
    Raise("copied from the GUI thread");
    ASSERT_NE(report_.find("copied from the GUI thread"), std::string::npos);
    EXPECT_EQ(Clipboard(), QString::fromLatin1(report_.c_str()));
}

TEST_F(ClipboardTest, WithoutTheChoiceTheClipboardStaysAsItWas) {
    copy_ = false;
    Raise("not copied");
    ASSERT_NE(report_.find("not copied"), std::string::npos);
    EXPECT_EQ(Clipboard(), "before");
}

// An exception of another thread: the copy is made by the GUI thread, which goes on serving
// its events meanwhile.
TEST_F(ClipboardTest, AnotherThreadsReportReachesTheClipboard) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        Raise("copied from a worker");
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    worker.join();
    ASSERT_NE(report_.find("copied from a worker"), std::string::npos);
    EXPECT_EQ(Clipboard(), QString::fromLatin1(report_.c_str()));
}

} // namespace
} // namespace faulttrap
