#pragma once

#include "crashreport/dialogs/dialog_choices.h"
#include "crashreport/dialogs/dialog_report.h"
#include "crashreport/options/fault_module_options.h"

#include <functional>
#include <memory>
#include <string>

namespace faulttrap {

// The hooks through which the dialogs raise the processing's events.
struct DialogEvents {
    // `CustomButtonClick`: returns true when a handler asked the dialog to close.
    std::function<bool()> customButtonClick;
    // `ExceptionActionNotify` with action 8; a handler may clear `restartRequested`.
    std::function<void(bool& restartRequested)> restartRequested;
    // A warning of the processing ("Cannot show the DialogBox window.", code eeShowError).
    std::function<void(const std::string& text)> showError;
};

// Everything one exception's dialogs read and change. The processing keeps it for the whole
// exception: the driver may be called again (details link) and the reproduce request follows.
struct DialogSession {
    DialogSession(const TFaultModuleOptions& options, DialogChoices& choices, BugReport& report)
        : options(options), choices(choices), ownReport_(new BugReportForDialogs(report)),
          report(*ownReport_) {}
    DialogSession(const TFaultModuleOptions& options, DialogChoices& choices, DialogReport& report)
        : options(options), choices(choices), report(report) {}

    const TFaultModuleOptions& options;
    DialogChoices& choices;

private:
    std::unique_ptr<DialogReport> ownReport_;

public:
    DialogReport& report;
    std::string exceptionMessage; // the current exception message, Windows-1252
    int exceptionCount = 1;       // exceptions processed so far, this one included
    bool sendingDisabled = false; // sending is disabled for this exception
    bool interactive = true;      // the program is an interactive application
    // How long a worker waits for the GUI thread to take a dialog up before it shows the dialog
    // in a helper process instead.
    int guiStartTimeoutMs = 3000;
    DialogEvents events;

    // The "Request" section goes into the report once per exception, whichever dialog took it.
    bool requestInserted = false;
    // The presentation the driver was asked for, shown again when a restart is refused.
    std::uint8_t shownType = 0;

    std::string Text(TextId id) const { return options.CustomizedText(id); }
    bool Dialog(std::uint16_t bit) const { return (options.DialogOptions() & bit) != 0; }
    bool Report(std::uint8_t bit) const { return (options.ReportOptions() & bit) != 0; }
    bool Send(std::uint16_t bit) const { return (options.SendOptions() & bit) != 0; }

    bool SendMethodConfigured() const { return faulttrap::SendMethodConfigured(options); }
    // The send choice: a method, not disabled for this exception, and offered.
    bool SendOffered() const;
    bool ScreenshotOffered() const;
    bool CopyOffered() const;
    bool SupportLinkShown() const;
    // Terminate/Restart: an action is configured and enough errors have happened.
    bool TerminateOffered() const;

    // Stores the steps as the report's "Request" section the first time; later calls only keep
    // the text in the choices.
    void TakeReproduceText(const std::string& text);
};

} // namespace faulttrap
