#include "crashreport/drivers/exception_conversation.h"

#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/intercept/runtime_state.h"

namespace faulttrap {

namespace {

std::unique_ptr<ExceptionConversation>& Slot() {
    static auto* slot = new std::unique_ptr<ExceptionConversation>;
    return *slot;
}

} // namespace

ExceptionConversation::ExceptionConversation(const TFaultModuleOptions& options, BugReport& report)
    : exception(RunTimeState().exceptionCount), session(options, choices, report) {}

// The processing runs one exception at a time under its lock, so the slot needs no lock of its
// own.
ExceptionConversation& BeginConversation(const TFaultModuleOptions& options, BugReport& report) {
    Slot() = std::make_unique<ExceptionConversation>(options, report);
    return *Slot();
}

ExceptionConversation* CurrentConversation() {
    ExceptionConversation* conversation = Slot().get();
    if (conversation != nullptr && conversation->exception != RunTimeState().exceptionCount) {
        return nullptr;
    }
    return conversation;
}

void EndConversation() {
    Slot().reset();
}

bool ScreenshotWanted(const TFaultModuleOptions& options) {
    return SendMethodConfigured(options) &&
           (options.SendOptions() & send_options::SendScreenshot) != 0;
}

bool GuiThreadServes() {
    return HasGui() && RunOnGuiThreadWithin([] {}, kGuiStartTimeout);
}

void TakeScreenshot(const TFaultModuleOptions& options, TScreenshotCapture& capture) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThreadWithin(
        [&] { capture.CaptureScreenshot(options.SendOptions(), CurrentCaptureMoment()); },
        kGuiStartTimeout);
}

} // namespace faulttrap
