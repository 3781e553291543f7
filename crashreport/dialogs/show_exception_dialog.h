#pragma once

// The entry points of the exception processing into the dialogs.
//
//   DialogSession session(options, choices, report);   // once per exception
//   session.exceptionMessage = ...; session.exceptionCount = ...; session.events = ...;
//   choices.dialogType = <ExceptionDialogType or the filter's choice>;
//   bool beep = true;
//   do {
//       ShowExceptionDialog(session, beep);   // classic dialog's details link leaves type 3
//       beep = false;
//       if (choices.dialogType != 0) choices.openedFromClassic = true;
//   } while (choices.dialogType != 0);
//   if (<type was 3 before the first call>) ShowReproduceRequest(session);
//
// Both may be called from any thread: the dialogs run on the GUI thread and the caller waits.
// When the GUI thread does not take them up in time (it is frozen or stopped), they run in a
// helper process of the program (dialog_helper.h), whose main() must call
// RunDialogHelperIfRequested first.

#include "crashreport/dialogs/dialog_session.h"
#include "crashreport/dialogs/reproduce_request.h"

namespace faulttrap {

// Shows the presentation that `session.choices.dialogType` selects (1 message box, 2 classic,
// 3 detailed) and returns when the user has decided. With `beep` the error sound is given
// first (not for the message box). A Terminate/Restart choice that the restart event cancels
// shows the dialog again. False when no dialog could be shown (no GUI application exists).
bool ShowExceptionDialog(DialogSession& session, bool beep);

// The reproduce request from any thread; true when it was shown.
bool AskReproduceSteps(DialogSession& session);

// The plain message box of the exception message: error icon, caption text 3, on top.
void ShowErrorMessageBox(const DialogSession& session);

} // namespace faulttrap
