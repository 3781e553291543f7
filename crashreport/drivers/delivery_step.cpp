#include "crashreport/drivers/delivery_step.h"

#include "crashreport/delivery/delivery_kit.h"
#include "crashreport/drivers/desktop_services.h"
#include "crashreport/drivers/exception_conversation.h"
#include "crashreport/drivers/progress_window.h"

#include <chrono>
#include <memory>

namespace faulttrap {

namespace {

// The send window reads the options and the choices only; it never changes the report.
class UnchangedReport : public DialogReport {
public:
    explicit UnchangedReport(const std::string& text) : text_(text) {}
    std::string Text() const override { return text_; }
    void InsertSteps(std::string_view, std::string_view) override {}
    void ReplaceEmail(std::string_view) override {}

private:
    const std::string& text_;
};

// The delivery of a Qt program: the kit with the send progress window and the message boxes.
struct QtDeliveryKit {
    QtDeliveryKit(const DeliveryRequest& request, const DialogChoices& userChoices)
        : core(request, userChoices.attachScreenshot), choices(userChoices),
          report(core.reportText), session(core.options, choices, report), progress(session) {}

    DeliveryKit core;
    DialogChoices choices;
    UnchangedReport report;
    DialogSession session;
    ProgressWindow progress;
    QtDeliveryDesktop desktop;
};

// The user's choices: those of the dialog, or without a dialog, send with the configured
// screenshot.
DialogChoices ChoicesOf(const ExceptionConversation* conversation,
                        const TFaultModuleOptions& options) {
    if (conversation != nullptr) {
        return conversation->choices;
    }
    DialogChoices choices;
    choices.sendReport = true;
    choices.attachScreenshot = (options.SendOptions() & send_options::SendScreenshot) != 0;
    return choices;
}

// Said in the delivered report when the user wanted a screenshot and none could be taken (the
// GUI thread had crashed or froze before the dialog step could take one).
constexpr const char* MissingScreenshotNote =
    "\r\nScreenshot: it could not be taken, the program's window did not answer.\r\n";

bool ScreenshotAvailable(const ExceptionConversation* conversation,
                         const TFaultModuleOptions& options, bool guiServes) {
    if (conversation != nullptr) {
        return conversation->screenshotTaken;
    }
    return guiServes && ScreenshotWanted(options);
}

// Writes the screenshot file of the package: the picture of the dialog step, or one taken now
// when no dialog was shown and the GUI thread serves.
void WriteScreenshot(ExceptionConversation* conversation, const TFaultModuleOptions& options,
                     const TReportPackage& package, bool guiServes) {
    TScreenshotCapture now;
    TScreenshotCapture* capture = nullptr;
    if (conversation != nullptr && conversation->screenshotTaken) {
        capture = &conversation->screenshot;
    } else if (conversation == nullptr && guiServes && ScreenshotWanted(options)) {
        TakeScreenshot(options, now);
        capture = &now;
    }
    if (capture != nullptr) {
        capture->WriteScreenshotPng(package.ScreenshotPath().string());
        capture->ReleaseScreenshot();
    }
}

} // namespace

bool DeliveryStep(const DeliveryRequest& request) {
    const TFaultModuleOptions& options = *request.record->ModuleOptions;
    ExceptionConversation* conversation = CurrentConversation();
    const DialogChoices choices = ChoicesOf(conversation, options);
    if (!choices.sendReport) {
        EndConversation();
        return false;
    }
    auto kit = std::make_shared<QtDeliveryKit>(request, choices);
    const bool guiServes = GuiThreadServes();
    if (!guiServes) {
        kit->session.guiStartTimeoutMs = 0;
        kit->desktop.guiStartTimeout = std::chrono::milliseconds(0);
    }
    if (choices.attachScreenshot && !ScreenshotAvailable(conversation, options, guiServes)) {
        kit->core.reportText += MissingScreenshotNote;
    }
    kit->core.Attach(kit->progress, kit->desktop);
    if (choices.attachScreenshot && !kit->core.folder.Path().empty()) {
        WriteScreenshot(conversation, options, kit->core.package, guiServes);
    }
    EndConversation();
    return RunDelivery(kit, kit->core, request);
}

} // namespace faulttrap
