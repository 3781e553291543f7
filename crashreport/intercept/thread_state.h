#pragma once

#include <cstddef>
#include <cstdint>
#include <typeinfo>

namespace faulttrap {

// The stack copy is at most this long: the frames nearest the raise are the ones that count.
inline constexpr std::size_t kStackCopySize = 102400;

// What the raise hook saw of the last exception raised by a thread.
struct RaiseRecord {
    std::uintptr_t returnAddress = 0; // behind the call that raised it
    std::uintptr_t stackPointer = 0;
    std::uintptr_t framePointer = 0; // of the raise hook's own frame: where the frame chain starts
    const std::type_info* type = nullptr;
    // The thread's stack from stackPointer on, as it was at the raise: the frames of the raise
    // are gone by the time a catch block reports the exception.
    std::size_t copiedBytes = 0;
};

// FaultTrap's per-thread state. It is plain data in static thread storage, so that the hooks
// that run while an exception is raised or a signal is handled never allocate.
struct ThreadState {
    std::byte* stackCopy = nullptr; // kStackCopySize bytes, set up when the thread starts
    std::uintptr_t stackLow = 0;    // lowest usable byte of the stack
    std::uintptr_t stackTop = 0;    // one past the highest byte
    RaiseRecord raise;
    bool reported = false;   // the last raised exception has been reported
    bool rethrowing = false; // a catch block of this thread is rethrowing
    int insideFaultTrap = 0; // FaultTrap's own code runs: hooks stand aside
    bool insideNotification = false;
    bool insideDispatcher = false;
    bool insideSignal = false;
    bool ownThread = false; // a thread of FaultTrap itself
};

ThreadState& CurrentThreadState();

// Marks FaultTrap's own code on this thread for its lifetime.
class InsideFaultTrap {
public:
    InsideFaultTrap() { ++CurrentThreadState().insideFaultTrap; }
    ~InsideFaultTrap() { --CurrentThreadState().insideFaultTrap; }
    InsideFaultTrap(const InsideFaultTrap&) = delete;
    InsideFaultTrap& operator=(const InsideFaultTrap&) = delete;
};

// Gives the calling thread its stack bounds and its stack-copy buffer (mapped memory, never
// freed while the thread runs); called at thread start and at activation for the main thread.
void PrepareThreadState();
// Releases what PrepareThreadState mapped; called when the thread ends.
void ReleaseThreadState();

// The Linux thread id of the calling thread.
std::uint32_t CurrentThreadId();

} // namespace faulttrap
