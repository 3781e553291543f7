// Thread start: every thread created through pthread_create (std::thread included) is listed,
// gets its alternate signal stack and stack copy, and runs inside a guard that reports an
// exception escaping its routine; the thread then ends with exit code 1, the process goes on.

#include "crashreport/intercept/thread_hooks.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/fault_signals.h"
#include "crashreport/intercept/thread_list.h"
#include "crashreport/intercept/thread_state.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <pthread.h>

#include <array>
#include <atomic>
#include <memory>

namespace faulttrap {

namespace {

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

std::atomic<CreateFunction> nextCreate{nullptr};

CreateFunction NextCreate() {
    CreateFunction function = nextCreate.load(std::memory_order_acquire);
    if (function == nullptr) {
        function = reinterpret_cast<CreateFunction>(::dlsym(RTLD_NEXT, "pthread_create"));
        nextCreate.store(function, std::memory_order_release);
    }
    return function;
}

// At start-up, like the throw hooks' targets: never a loader look-up on a report's way.
__attribute__((constructor(101))) void ResolveNextCreate() {
    NextCreate();
}

constinit thread_local bool creatingOwnThread = false;

struct ThreadStart {
    void* (*routine)(void*) = nullptr;
    void* parameter = nullptr;
    bool ownThread = false;
    std::vector<std::uintptr_t> creationStack;
};

// `stackTop`: the top of the thread's stack proper. The range the thread library reports for a
// thread runs on over its thread-local storage (FaultTrap's own record of the thread's last
// raise among it), which a stack scan must not read as calls.
void EnterThread(const ThreadStart& start, std::uintptr_t stackTop) {
    PrepareThreadState();
    SetUpAlternateSignalStack();
    ThreadState& state = CurrentThreadState();
    if (stackTop > state.stackLow && stackTop < state.stackTop) {
        state.stackTop = stackTop;
    }
    state.ownThread = start.ownThread;
    TFaultThreadInfo info;
    info.id = CurrentThreadId();
    info.handle = ::pthread_self();
    info.startRoutine = start.routine;
    info.parameter = start.parameter;
    info.stackTop = state.stackTop;
    info.ownThread = start.ownThread;
    info.resumed = true;
    info.creationStack = start.creationStack;
    ThreadsList().Add(std::move(info));
}

void LeaveThread() {
    ThreadsList().Remove(CurrentThreadId());
    ReleaseAlternateSignalStack();
    ReleaseThreadState();
}

void* ReportEscapedException() {
    ThreadState& state = CurrentThreadState();
    const InsideFaultTrap inside;
    if (!IsActive() || state.reported) {
        return reinterpret_cast<void*>(1);
    }
    state.reported = true;
    const FaultException exception = CaptureCurrentException();
    TExceptNotifyParams params = ParamsOfCallingThread(exception.type);
    ExceptionManagerWith(exception, state.raise.returnAddress, TExceptionOrigin::Thread,
                         std::move(params), TExceptionVerdict::Unhandled);
    return reinterpret_cast<void*>(1);
}

void* GuardedThreadRoutine(void* parameter) {
    const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    // Above this routine's frame (its saved frame pointer and return address) lie only the
    // thread library's start frame and the thread's own storage.
    EnterThread(*start,
                reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) + 2 * sizeof(void*));
    void* result = nullptr;
    try {
        result = start->routine(start->parameter);
    } catch (const abi::__forced_unwind&) {
        // pthread_exit or cancellation: not an error, the unwinding must go on.
        LeaveThread();
        throw;
    } catch (...) {
        result = ReportEscapedException();
    }
    LeaveThread();
    return result;
}

} // namespace

std::vector<std::uintptr_t> CallerReturnAddresses(int skip) {
    std::array<void*, 64> frames{};
    const int count = ::backtrace(frames.data(), static_cast<int>(frames.size()));
    std::vector<std::uintptr_t> addresses;
    for (int i = skip; i < count; ++i) {
        addresses.push_back(reinterpret_cast<std::uintptr_t>(frames[static_cast<std::size_t>(i)]));
    }
    return addresses;
}

std::thread StartOwnThread(std::function<void()> body) {
    creatingOwnThread = true;
    std::thread thread(std::move(body));
    creatingOwnThread = false;
    return thread;
}

} // namespace faulttrap

extern "C" __attribute__((visibility("default"))) int
pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*),
               void* parameter) {
    using namespace faulttrap;
    const CreateFunction create = NextCreate();
    if (!IsActive()) {
        return create(thread, attributes, routine, parameter);
    }
    auto start = std::make_unique<ThreadStart>();
    start->routine = routine;
    start->parameter = parameter;
    start->ownThread = creatingOwnThread;
    if (!start->ownThread) {
        start->creationStack = CallerReturnAddresses(1);
    }
    const int result = create(thread, attributes, GuardedThreadRoutine, start.get());
    if (result == 0) {
        start.release();
    }
    return result;
}
