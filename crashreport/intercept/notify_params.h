#pragma once

#include "crashreport/debuginfo/stack_entry.h"

#include <ucontext.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

// Where an exception reached FaultTrap from, as ExceptionManager's origin byte says.
enum class TExceptionOrigin : std::uint8_t {
    Thread = 0,      // a thread routine, a service, a direct call
    Application = 1, // the GUI framework's application-wide handler
    WebServer = 2,
};

// What the interception decided about the exception's handling.
enum class TExceptionVerdict { Handled, Unhandled, SafeCall, Skip };

// What the interception saw in the faulting thread, carried into the processing.
struct TExceptNotifyParams {
    bool Handled = false;          // reported at the end of one of the program's own handlers
    bool LanguageException = true; // raised by a throw, not by the operating system
    std::optional<ucontext_t> Context;
    std::uintptr_t StackPointer = 0;
    std::uintptr_t StackTop = 0;
    // The stack from StackPointer on as it was at the raise, when the live stack has been
    // unwound since; empty when the stack is read where it lies.
    std::vector<std::byte> StackCopy;
    // Where the chain of saved frame pointers starts in the stack copy; 0 when unknown.
    std::uintptr_t FramePointer = 0;
    // The call stack the interception built already; the processing then builds none.
    std::optional<TFaultStackList> PreparedStack;
    std::uint32_t ThreadId = 0;
    std::string FocusClass;
    std::string FocusText;
    std::uint8_t Flags = 0;
    // The faulting thread cannot run the event callbacks (it sits in a signal handler or is
    // frozen): the events run where the processing runs.
    bool EventsOnWorker = false;
};

// The parameters of an exception the calling thread raised last: its stack copy and raise
// place when the raise hook recorded `type` (nullptr: whatever it recorded), else the live
// stack from the caller's frame.
TExceptNotifyParams ParamsOfCallingThread(const std::type_info* type);

} // namespace faulttrap
