#pragma once

#include "crashreport/options/option_types.h"

namespace faulttrap {

// Requests terminate or restart after the current processing (from the dialog, a filter, the
// error-flood rule or the program): the request is pending until the processing carries it
// out. Nothing happens while FaultTrap is inactive.
void RequestTerminateOrRestart(TFaultAction action);
TFaultAction PendingAction();
void ClearPendingAction();

// Carries out `action`: for a restart a new process of the program starts with the same
// arguments in the start-up directory (unless it was restarted too often within a short time,
// see restart_marker.h); then the process ends with exit code 1. `afterFault`: a fault of the
// operating system ends the process, so the program's streams are not flushed.
[[noreturn]] void CarryOutAction(TFaultAction action, bool afterFault);

// After a fault of the operating system: a pending restart is carried out, otherwise the
// process terminates with exit code 1.
[[noreturn]] void EndProcessAfterFault();

// Starts the new process of a restart; false when it could not be started or the restart rule
// refuses it.
bool StartProgramAgain();

} // namespace faulttrap
