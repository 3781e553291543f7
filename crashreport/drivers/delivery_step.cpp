#include "drivers/delivery_step.h"

#include "drivers/desktop_services.h"
#include "drivers/exception_conversation.h"
#include "drivers/fault_events.h"
#include "drivers/progress_window.h"
#include "drivers/web_delivery.h"

#include "crashreport/renderings/log_xml.h"
#include "intercept/activation.h"
#include "intercept/dispatcher.h"
#include "intercept/report_step.h"
#include "packaging/attachment_name.h"

#include <ctime>
#include <fstream>
#include <memory>
#include <optional>

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

TPackageSettings PackageSettings(const TFaultModuleOptions& options, bool attachScreenshot) {
    TPackageSettings settings;
    settings.tempFolder = TemporaryFolder();
    settings.logFileName = LogLocationOf(options).chosen;
    settings.sendOptions = options.SendOptions();
    settings.appendReportToMessage = options.AppendReportToMessage();
    settings.attachedFiles = options.AttachedFiles();
    settings.zipPassword = options.ZipPassword();
    settings.attachScreenshot = attachScreenshot;
    settings.runsAsCgi = IsCgiProgram();
    settings.computerName = ComputerName();
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &settings.exceptionTime);
    return settings;
}

// Everything one delivery works with, owned together: a send thread outlives the processing
// that started it, so the options and the exception record are copies.
struct DeliveryKit {
    DeliveryKit(const DeliveryRequest& request, const DialogChoices& userChoices)
        : options(request.record->ModuleOptions->ModuleFileName(), false), record(*request.record),
          reportText(request.reportText), choices(userChoices), report(reportText),
          session(options, choices, report), events(record), progress(session),
          package(PackageSettings(*request.record->ModuleOptions, userChoices.attachScreenshot)) {
        options.Assign(request.record->ModuleOptions);
        record.ModuleOptions = &options;
        // The call stack and the module list belong to the processing.
        record.CallStack = nullptr;
        record.ModulesList = nullptr;
        web.emplace(options, package, record, events, progress);
        const std::string xmlReport = reportText;
        run.reset(new TDeliveryRun{options, package, reportText, "",
                                   [xmlReport](const std::filesystem::path& file) {
                                       std::ofstream(file, std::ios::binary)
                                           << ReportsXml({xmlReport}, "");
                                   },
                                   events, progress, desktop, &*web, TEmailEnvironment::Default()});
    }

    TFaultModuleOptionsEx options;
    TFaultExceptionRecord record;
    std::string reportText;
    DialogChoices choices;
    UnchangedReport report;
    DialogSession session;
    FaultDeliveryEvents events;
    ProgressWindow progress;
    QtDeliveryDesktop desktop;
    TReportPackage package;
    std::optional<WebDelivery> web;
    std::unique_ptr<TDeliveryRun> run;
};

// The user's choices: those of the dialog, or without a dialog, send with the configured
// screenshot.
DialogChoices ChoicesOf(const ExceptionConversation* conversation,
                        const TFaultModuleOptions& options) {
    if (conversation != nullptr)
        return conversation->choices;
    DialogChoices choices;
    choices.sendReport = true;
    choices.attachScreenshot = (options.SendOptions() & send_options::SendScreenshot) != 0;
    return choices;
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
    auto kit = std::make_shared<DeliveryKit>(request, choices);
    const bool guiServes = GuiThreadServes();
    if (!guiServes) {
        kit->session.guiStartTimeoutMs = 0;
        kit->desktop.guiStartTimeout = std::chrono::milliseconds(0);
    }
    kit->run->email.sendsInThread =
        request.sendThreadAllowed && (options.SendOptions() & send_options::SendInThread);
    if (choices.attachScreenshot)
        WriteScreenshot(conversation, options, kit->package, guiServes);
    EndConversation();
    if (!kit->run->email.sendsInThread) {
        SendReport(*kit->run);
        return false;
    }
    const std::shared_ptr<TDeliveryRun> run(kit, kit->run.get());
    TSendThread::Start(run, ProcessingLock(), [afterSend = request.afterSend](bool) {
        if (afterSend)
            afterSend();
    });
    return true;
}

} // namespace faulttrap
