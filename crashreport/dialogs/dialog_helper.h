#pragma once

// The dialogs in a helper process, for when the program's GUI thread cannot show them (it is the
// thread that crashed, or it is frozen). The helper is a new process of the same program: its
// main() first calls RunDialogHelperIfRequested, which shows the dialogs from the request file
// named in its environment and writes the user's choices back.
//
// The helper has no event handlers of the program: it shows no custom button, and a
// Terminate/Restart choice comes back to the caller, which raises the restart event and asks the
// helper again when a handler refuses it.

#include "crashreport/dialogs/dialog_session.h"

#include <string>

namespace faulttrap {

// The environment variable that names the request file of a helper.
inline constexpr const char* kDialogHelperVariable = "FAULTTRAP_DIALOG_REQUEST";

// Runs `program` (normally /proc/self/exe) as the helper and waits for it. The choices, the
// steps to reproduce and the e-mail address come back into `session` (its report included).
// With `reproduceRequest` the helper shows the reproduce request after the dialog (alone when
// the dialog type is 0). False when
// the helper could not run or gave no answer.
bool ShowExceptionDialogInHelper(DialogSession& session, bool beep, bool reproduceRequest,
                                 const std::string& program = "/proc/self/exe");

// In a helper: shows the dialogs and returns the process's exit code. Otherwise -1 at once.
int RunDialogHelperIfRequested(int argc, char** argv);

} // namespace faulttrap
