#pragma once

// The places where the window system, the dialogs and the delivery plug into the processing.
// Each hook is empty until its part installs it.

#include "crashreport/intercept/events.h"
#include "crashreport/options/option_types.h"

#include <chrono>
#include <functional>
#include <string>

namespace faulttrap {

class BugReport;

struct DialogRequest {
    TFaultExceptionRecord* record = nullptr;
    BugReport* report = nullptr; // the dialogs add the steps to reproduce and the user's address
    TFaultDialogType type = TFaultDialogType::None;
    bool errorSound = false;
    std::string message; // the custom message when set, else the exception's
};

// Shows the dialog of `request.type` and returns the dialog type to show next (None when done).
// Runs on the faulting thread; throws when the dialog cannot be shown.
using DialogDriver = std::function<TFaultDialogType(const DialogRequest& request)>;
void SetDialogDriver(DialogDriver driver);
DialogDriver CurrentDialogDriver();

struct DeliveryRequest {
    TFaultExceptionRecord* record = nullptr;
    std::string reportText; // what is delivered: the report, or the whole log with SendEntireLog
    std::chrono::system_clock::time_point exceptionTime; // the dates of the travelling names
    // The processing runs apart from the faulting thread, which may go on while a send thread
    // delivers.
    bool sendThreadAllowed = false;
    // What the processing does after a delivery (the error-flood rule, then a pending terminate
    // or restart); a send thread calls it when it has delivered.
    std::function<void()> afterSend;
};

// Delivers the report (e-mail, web) as the user chose; runs on the faulting thread. Returns true
// when the delivery goes on in a send thread (`SendInThread`), which then calls `afterSend`.
using DeliveryDriver = std::function<bool(const DeliveryRequest& request)>;
void SetDeliveryDriver(DeliveryDriver driver);
// The installed driver, else the default one (that of programs without a window).
DeliveryDriver CurrentDeliveryDriver();
void SetDefaultDeliveryDriver(DeliveryDriver driver);

// Puts the report text on the clipboard as plain text, when the user chose to copy it; runs on
// the faulting thread.
using ClipboardWriter = std::function<void(const std::string& text)>;
void SetClipboardWriter(ClipboardWriter writer);
ClipboardWriter CurrentClipboardWriter();

// Brings the program's main window to the front; runs on the faulting thread.
void SetMainWindowRaiser(std::function<void()> raiser);
std::function<void()> CurrentMainWindowRaiser();

// Reads the class and text of the control that has the keyboard focus (text starred for a
// password field); runs on the faulting thread.
void SetFocusReader(std::function<void(std::string& className, std::string& text)> reader);
std::function<void(std::string&, std::string&)> CurrentFocusReader();

// The window in front and the screen, as the report shows them: the window's class and caption,
// the display mode ("%d x %d, %d bit") and its vertical dots per inch.
struct WindowFacts {
    std::string formClass;
    std::string formText;
    std::string displayMode;
    std::string displayDpi;
};

// Reads the window and screen facts; runs on the faulting thread, which may not own the windows.
void SetWindowFactsReader(std::function<void(WindowFacts& facts)> reader);
std::function<void(WindowFacts&)> CurrentWindowFactsReader();

} // namespace faulttrap
