#pragma once

#include "crashreport/options/fault_module_options_ex.h"

#include <string>
#include <vector>

namespace faulttrap {

// Whether FaultTrap runs: the program carries its data and activation succeeded.
bool IsActive();

// The options of the program (the module that runs FaultTrap); only while active.
TFaultModuleOptionsEx& MainModuleOptions();

// Switches FaultTrap on: done by the library's constructor before the program's own start-up
// code. `forceActive` activates even without embedded data (tests of the library itself).
void Activate(bool forceActive = false);
// Switches it off: done after the program's own finalisation.
void Finalise();

// The start-up directory and the command line, remembered for a restart.
const std::string& StartupDirectory();
const std::vector<std::string>& CommandLine();

// Whether the program has a window system (a GUI application object exists).
bool IsWindowedProgram();
void SetWindowedProgram(bool windowed);

// A console program with REQUEST_METHOD in its environment: a CGI program.
bool IsCgiProgram();

} // namespace faulttrap

namespace faulttrap {

// What finalisation does when the process ends at once (terminate, restart): the program's
// streams are flushed, unless a fault of the operating system ends it, and the shared-memory
// block is removed.
void FinaliseForTermination(bool afterFault);

// The file the options are saved to at finalisation: "<pid><module handle>.bin" in the
// temporary folder, both in upper-case hexadecimal.
std::string FinalOptionsFileName();

} // namespace faulttrap
