#pragma once

namespace faulttrap {

// Fatal signals (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT) become reports: the handler runs on
// the thread's alternate stack, records the fault without allocating and hands it to a thread
// started for that at activation; after the report the process terminates or restarts, it
// never continues.
void InstallFaultSignals();
void RemoveFaultSignals();

// Every thread gets an alternate signal stack of its own, so that a stack overflow can still be
// reported.
void SetUpAlternateSignalStack();
void ReleaseAlternateSignalStack();

} // namespace faulttrap
