// The raise hook and the end-of-handler hook: the C++ runtime's own entry points, interposed.
// They must keep default visibility so that throws from the C++ library and every other shared
// library reach them too.

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/thread_state.h"

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace faulttrap {

namespace {

using ThrowFunction = void (*)(void*, void*, void (*)(void*));
using RethrowFunction = void (*)();
using EndCatchFunction = void (*)();

template <class Function> Function NextDefinition(std::atomic<Function>& cache, const char* name) {
    Function function = cache.load(std::memory_order_acquire);
    if (function == nullptr) {
        function = reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
        cache.store(function, std::memory_order_release);
    }
    return function;
}

std::atomic<ThrowFunction> nextThrow{nullptr};
std::atomic<RethrowFunction> nextRethrow{nullptr};
std::atomic<EndCatchFunction> nextEndCatch{nullptr};

// At start-up, not on the first throw or catch: the look-up takes the dynamic loader's lock,
// which a thread that faults inside the loader (a library's initialiser) holds for good, and
// the report of that fault describes its exception with a catch.
__attribute__((constructor(101))) void ResolveNextDefinitions() {
    NextDefinition(nextThrow, "__cxa_throw");
    NextDefinition(nextRethrow, "__cxa_rethrow");
    NextDefinition(nextEndCatch, "__cxa_end_catch");
}

// Records where and what the thread raises, with a copy of its stack from the raise on. No
// allocation: the copy goes into the thread's buffer.
void RecordRaise(ThreadState& state, std::uintptr_t returnAddress, std::uintptr_t stackPointer,
                 std::uintptr_t framePointer, const std::type_info* type) {
    // The copy keeps the stack's word alignment: the scan reads it word by word.
    stackPointer &= ~static_cast<std::uintptr_t>(sizeof(std::uintptr_t) - 1);
    RaiseRecord& raise = state.raise;
    raise.returnAddress = returnAddress;
    raise.stackPointer = stackPointer;
    raise.framePointer = framePointer;
    raise.type = type;
    raise.copiedBytes = 0;
    state.reported = false;
    state.rethrowing = false;
    if (state.stackCopy == nullptr || stackPointer < state.stackLow ||
        stackPointer >= state.stackTop) {
        return;
    }
    const std::size_t available = state.stackTop - stackPointer;
    raise.copiedBytes = available < kStackCopySize ? available : kStackCopySize;
    std::memcpy(state.stackCopy, reinterpret_cast<const void*>(stackPointer), raise.copiedBytes);
}

bool ReportsHandledExceptions() {
    return IsActive() &&
           (MainModuleOptions().BehaviourOptions() & behaviour_options::ReportHandledExceptions);
}

// A catch block of the program ends: with ReportHandledExceptions its exception is reported
// once, as a handled one, from the stack copy of its raise.
void ReportAtEndOfHandler(ThreadState& state) {
    if (state.rethrowing) {
        state.rethrowing = false;
        return;
    }
    // A new exception leaving the catch block is not the end of a handler.
    if (state.reported || state.raise.type == nullptr || std::uncaught_exceptions() > 0) {
        return;
    }
    state.reported = true;
    const InsideFaultTrap inside;
    const FaultException exception = CaptureCurrentException();
    TExceptNotifyParams params = ParamsOfCallingThread(exception.type);
    params.Handled = true;
    NotificationEntry(exception, state.raise.returnAddress, std::move(params),
                      TExceptionVerdict::Handled);
}

} // namespace

} // namespace faulttrap

using faulttrap::CurrentThreadState;

extern "C" {

__attribute__((visibility("default"), noreturn)) void __cxa_throw(void* object, void* type,
                                                                  void (*destructor)(void*)) {
    faulttrap::ThreadState& state = CurrentThreadState();
    if (state.insideFaultTrap == 0) {
        int marker = 0;
        faulttrap::RecordRaise(state, reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)),
                               reinterpret_cast<std::uintptr_t>(&marker),
                               reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)),
                               static_cast<const std::type_info*>(type));
    }
    faulttrap::NextDefinition(faulttrap::nextThrow, "__cxa_throw")(object, type, destructor);
    __builtin_unreachable();
}

__attribute__((visibility("default"), noreturn)) void __cxa_rethrow() {
    CurrentThreadState().rethrowing = true;
    faulttrap::NextDefinition(faulttrap::nextRethrow, "__cxa_rethrow")();
    __builtin_unreachable();
}

__attribute__((visibility("default"))) void __cxa_end_catch() {
    faulttrap::ThreadState& state = CurrentThreadState();
    // FaultTrap's own threads (the processing among them) catch only their own exceptions.
    if (state.insideFaultTrap == 0 && !state.ownThread && faulttrap::ReportsHandledExceptions()) {
        faulttrap::ReportAtEndOfHandler(state);
    }
    faulttrap::NextDefinition(faulttrap::nextEndCatch, "__cxa_end_catch")();
}

} // extern "C"
