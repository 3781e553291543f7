#pragma once

#include "crashreport/intercept/report_stage.h"

#include <exception>
#include <string>

namespace faulttrap {

// A failure of FaultTrap's own processing: it never reaches the program. Silent aborts are
// ignored; otherwise, when a debugger is attached, a "[ERROR]" line goes to the debugger output
// (standard error here) and a diagnostic file "<program>.log" is written beside the program.
void HandleInternalFailure(const std::exception_ptr& failure, ReportStage stage);
void HandleInternalFailure(const std::exception_ptr& failure, const std::string& stage);

// Whether a debugger traces the process.
bool DebuggerAttached();

} // namespace faulttrap
