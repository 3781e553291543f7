#pragma once

#include <signal.h>
#include <ucontext.h>

#include <cstdint>
#include <exception>

namespace faulttrap {

// The exception object that stands for a fatal signal: its class follows the signal and its
// code; a signal sent by a process (kill, sigqueue, tgkill: si_code <= 0) says who sent it
// instead of describing a fault that never happened. `stackLow` is the lowest byte of the
// faulting thread's stack (0 when unknown), for telling a stack overflow.
std::exception_ptr ExceptionOfSignal(int signal, const siginfo_t& info, const ucontext_t& context,
                                     std::uintptr_t stackLow);

// Whether the signal was sent by a process rather than raised by a fault of the thread.
bool IsSentSignal(const siginfo_t& info);

} // namespace faulttrap
