#pragma once

#include <ucontext.h>

#include <chrono>
#include <cstdint>
#include <optional>

namespace faulttrap {

// Fatal signals (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT) become reports: the handler runs on
// the thread's alternate stack, records the fault without allocating and hands it to a thread
// started for that at activation; after the report the process terminates or restarts, it
// never continues.
void InstallFaultSignals();
void RemoveFaultSignals();

// The last resort after a fault: whatever the report waits for (a lock that never frees, a
// handler that loops, a dialog nobody can see), the process ends with exit code 1 this long
// after the fault, keeping every report line already written. 0 switches it off.
inline constexpr std::chrono::seconds kDefaultFaultDeadline{10};
void SetFaultDeadline(std::chrono::seconds deadline);
std::chrono::seconds FaultDeadline();
// While a fault is being reported: the deadline runs `deadline` from now on (a dialog that waits
// for the user gets longer).
void RestartFaultDeadline(std::chrono::seconds deadline);
// When the process ends unless the report is over by then; none while no fault is reported or
// without a deadline.
std::optional<std::chrono::steady_clock::time_point> FaultDeadlineAt();

// The signal context of a thread that faulted while another fault was being reported; none for
// every other thread.
std::optional<ucontext_t> ConcurrentFaultContext(std::uint32_t threadId);

// Every thread gets an alternate signal stack of its own, so that a stack overflow can still be
// reported.
void SetUpAlternateSignalStack();
void ReleaseAlternateSignalStack();

} // namespace faulttrap
