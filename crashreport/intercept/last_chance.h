#pragma once

namespace faulttrap {

// Makes FaultTrap the terminate handler: an exception that leaves every handler of a thread is
// reported with the thread's stack still in place; then the main thread ends the program with
// exit code 1 and any other thread ends alone.
void InstallLastChanceHandler();
void RemoveLastChanceHandler();

} // namespace faulttrap
