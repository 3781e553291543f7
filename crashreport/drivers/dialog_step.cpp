#include "crashreport/drivers/dialog_step.h"

#include "crashreport/delivery/fault_events.h"
#include "crashreport/drivers/exception_conversation.h"

#include "crashreport/dialogs/show_exception_dialog.h"
#include "crashreport/intercept/program_exit.h"
#include "crashreport/intercept/runtime_state.h"

#include <stdexcept>

namespace faulttrap {

namespace {

ExceptionConversation& Begin(const DialogRequest& request) {
    const TFaultModuleOptions& options = *request.record->ModuleOptions;
    ExceptionConversation& conversation = BeginConversation(options, *request.report);
    DialogChoices& choices = conversation.choices;
    DialogSession& session = conversation.session;
    choices.sendReport = session.SendMethodConfigured();
    choices.attachScreenshot = session.Send(send_options::SendScreenshot);
    // A duplicate report is not delivered: the dialog does not offer to send it.
    session.sendingDisabled = RunTimeState().duplicate;
    session.exceptionCount = RunTimeState().exceptionCount;
    TFaultExceptionRecord& record = *request.record;
    session.events.customButtonClick = [&record] {
        bool close = false;
        ForEachEventHandler([&](TFaultTrapEvents& events) {
            if (events.CustomButtonClick) {
                events.CustomButtonClick(record, close);
            }
        });
        return close;
    };
    // The dialogs ask only for a restart the user chose: the handlers may call it off.
    session.events.restartRequested = [&record](bool& restartRequested) {
        restartRequested =
            restartRequested && RaiseActionNotify(record, fault_actions::TerminateRequested);
    };
    session.events.showError = [&record](const std::string& text) {
        WriteWarning(record.ExceptionAddress, TFaultTrapErrorCode::eeShowError, text);
        RaiseErrorNotify(record, TFaultTrapErrorCode::eeShowError, text);
    };
    // A GUI thread that is gone (it crashed or froze) is not waited for again: the dialogs go to
    // the helper process at once.
    const bool guiServes = GuiThreadServes();
    if (!guiServes) {
        session.guiStartTimeoutMs = 0;
    }
    // The picture shows the program as it was, before the dialog covers it.
    if (ScreenshotWanted(options) && guiServes) {
        TakeScreenshot(options, conversation.screenshot);
        conversation.screenshotTaken = true;
    }
    return conversation;
}

void Finish(ExceptionConversation& conversation, const DialogRequest& request, bool detailed) {
    DialogSession& session = conversation.session;
    if (detailed) {
        AskReproduceSteps(session);
    }
    TFaultRunTimeState& state = RunTimeState();
    state.reproduceSteps = conversation.choices.reproduceText;
    state.copyToClipboard = conversation.choices.copyToClipboard;
    if (!conversation.choices.userEmail.empty()) {
        state.userEMail = conversation.choices.userEmail;
    }
    if (conversation.choices.restartRequested) {
        RequestTerminateOrRestart(request.record->ModuleOptions->TerminateAction());
    }
}

} // namespace

TFaultDialogType ShowDialogStep(const DialogRequest& request) {
    ExceptionConversation* conversation = CurrentConversation();
    const bool first = request.errorSound || conversation == nullptr;
    if (first) {
        conversation = &Begin(request);
        conversation->firstType = request.type;
    } else {
        // Reached through the classic dialog's details link.
        conversation->choices.openedFromClassic = true;
    }
    DialogSession& session = conversation->session;
    session.exceptionMessage = request.message;
    conversation->choices.dialogType = static_cast<std::uint8_t>(request.type);
    if (!ShowExceptionDialog(session, request.errorSound)) {
        throw std::runtime_error("no window system to show the dialog on");
    }
    const auto next = static_cast<TFaultDialogType>(conversation->choices.dialogType);
    if (next == TFaultDialogType::None) {
        Finish(*conversation, request, conversation->firstType == TFaultDialogType::Detailed);
    }
    return next;
}

} // namespace faulttrap
