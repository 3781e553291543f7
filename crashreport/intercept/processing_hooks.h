#pragma once

// The places where the window system, the dialogs and the delivery plug into the processing.
// Each hook is empty until its part installs it.

#include "intercept/events.h"
#include "options/option_types.h"

#include <functional>
#include <string>

namespace faulttrap {

struct DialogRequest {
    TFaultExceptionRecord* record = nullptr;
    TFaultDialogType type = TFaultDialogType::None;
    bool errorSound = false;
    std::string message; // the custom message when set, else the exception's
};

// Shows the dialog of `request.type` and returns the dialog type to show next (None when done).
// Runs on the faulting thread; throws when the dialog cannot be shown.
using DialogDriver = std::function<TFaultDialogType(const DialogRequest& request)>;
void SetDialogDriver(DialogDriver driver);
DialogDriver CurrentDialogDriver();

// Delivers the report (e-mail, web); throws on failure. `SendInThread` decides where it runs.
using DeliveryDriver = std::function<void(TFaultExceptionRecord& record)>;
void SetDeliveryDriver(DeliveryDriver driver);
DeliveryDriver CurrentDeliveryDriver();

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

} // namespace faulttrap
