#pragma once

#include "crashreport/intercept/processing_hooks.h"

namespace faulttrap {

// The dialog driver of the processing: shows the presentation of `request.type` with the
// exception dialogs and returns the presentation to show next (the detailed dialog after the
// classic dialog's details link, else None). The first call of an exception (the one with the
// error sound) begins its conversation and takes the screenshot; the last one carries out what
// the user chose: the reproduce request after a detailed dialog, the user's address and steps in
// the run-time state, a Terminate/Restart choice as the pending action. Throws when no dialog
// could be shown.
TFaultDialogType ShowDialogStep(const DialogRequest& request);

} // namespace faulttrap
