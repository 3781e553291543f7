#pragma once

// What the dialog step and the delivery step of one exception share: the user's choices and the
// screenshot taken before the dialog.

#include "crashreport/dialogs/dialog_session.h"
#include "crashreport/screenshot/screenshot_capture.h"

#include <chrono>
#include <memory>

namespace faulttrap {

class BugReport;
class TFaultModuleOptions;

struct ExceptionConversation {
    ExceptionConversation(const TFaultModuleOptions& options, BugReport& report);

    int exception = 0; // the exception count when it began: one conversation per exception
    DialogChoices choices;
    DialogSession session;
    TScreenshotCapture screenshot;
    bool screenshotTaken = false;
    // The presentation of the first dialog call: a detailed one asks for the steps afterwards.
    TFaultDialogType firstType = TFaultDialogType::None;
};

// Begins the conversation of the exception being processed, replacing any earlier one.
ExceptionConversation& BeginConversation(const TFaultModuleOptions& options, BugReport& report);
// The conversation of the exception being processed; null when its dialog step did not run.
ExceptionConversation* CurrentConversation();
// Ends it (the delivery step has read it).
void EndConversation();

// Whether the options want a screenshot with the report: a send method and `SendScreenshot`.
bool ScreenshotWanted(const TFaultModuleOptions& options);
// How long the GUI thread may take to start serving a request before it counts as gone (it
// crashed or froze).
inline constexpr std::chrono::milliseconds kGuiStartTimeout{3000};

// Whether a GUI thread exists and serves requests: asked once per step, so that a GUI thread that
// is gone costs one wait, not one for every window of the step.
bool GuiThreadServes();

// Takes the screenshot on the GUI thread (not at all when that thread does not serve).
void TakeScreenshot(const TFaultModuleOptions& options, TScreenshotCapture& capture);

} // namespace faulttrap
