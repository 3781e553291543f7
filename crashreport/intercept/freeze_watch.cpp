#include "crashreport/intercept/freeze_watch.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/fault_classes.h"
#include "crashreport/intercept/thread_hooks.h"
#include "crashreport/intercept/thread_list.h"
#include "crashreport/intercept/thread_pause.h"
#include "crashreport/intercept/thread_state.h"

#include "crashreport/debuginfo/safe_memory.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace faulttrap {

namespace {

using namespace std::chrono_literals;

constexpr auto kStep = 50ms;
constexpr auto kRestAfterAnswer = 250ms;

// Built on first use: the watch may start at activation, before the static initialisers.
struct WatchState {
    std::mutex accessMutex;
    MainWindowAccess access;
    std::mutex mutex;
    std::condition_variable changed;
    bool stopRequested = false;
    std::thread thread;
};

WatchState& State() {
    static auto* state = new WatchState;
    return *state;
}

MainWindowAccess CurrentAccess() {
    const std::lock_guard lock(State().accessMutex);
    return State().access;
}

// Sleeps `duration` in steps; false when the watch is being stopped.
bool Rest(std::chrono::milliseconds duration) {
    WatchState& state = State();
    std::unique_lock lock(state.mutex);
    return !state.changed.wait_for(lock, duration, [&] { return state.stopRequested; });
}

// The main thread stopped answering: its place is reported as an EFrozenApplication. The main
// thread is paused only while its context and stack are copied, so that the processing never
// waits for a lock the frozen thread holds.
void ReportFreeze() {
    const std::optional<TFaultThreadInfo> main = ThreadsList().MainThread();
    if (!main) {
        return;
    }
    TExceptNotifyParams params;
    params.LanguageException = false;
    params.EventsOnWorker = true;
    params.ThreadId = main->id;
    params.StackTop = main->stackTop;
    ucontext_t context;
    {
        ThreadPauser pauser;
        if (!pauser.Pause(main->id, context)) {
            return;
        }
        const auto stackPointer = static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RSP]);
        if (main->stackTop > stackPointer) {
            const std::size_t length =
                std::min<std::size_t>(main->stackTop - stackPointer, kStackCopySize);
            params.StackCopy.resize(length);
            if (ReadMemory(stackPointer, params.StackCopy.data(), length)) {
                params.StackPointer = stackPointer;
            } else {
                params.StackCopy.clear();
            }
        }
    }
    params.Context = context;
    const auto address = static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RIP]);
    const FaultException exception = DescribeException(std::make_exception_ptr(
        EFrozenApplication(MainModuleOptions().CustomizedText(TextId::ApplicationFrozen))));
    ExceptionManagerWith(exception, address, TExceptionOrigin::Thread, std::move(params),
                         TExceptionVerdict::Unhandled);
}

void Watch() {
    const InsideFaultTrap inside;
    // Wait for the main window.
    for (;;) {
        const MainWindowAccess access = CurrentAccess();
        if (access.exists && access.postToMainLoop && access.exists()) {
            break;
        }
        if (!Rest(kStep)) {
            return;
        }
    }
    auto unresponsive = 0ms;
    for (;;) {
        const MainWindowAccess access = CurrentAccess();
        if (!access.postToMainLoop) {
            return;
        }
        auto answered = std::make_shared<std::atomic<bool>>(false);
        access.postToMainLoop([answered] { *answered = true; });
        if (!Rest(kStep)) {
            return;
        }
        if (*answered) {
            unresponsive = 0ms;
            if (!Rest(kRestAfterAnswer)) {
                return;
            }
            continue;
        }
        // Not answered yet: wait on until it is, counting the time.
        while (!*answered) {
            unresponsive += kStep;
            if (unresponsive >= std::chrono::seconds(MainModuleOptions().FreezeTimeout())) {
                ReportFreeze();
                unresponsive = 0ms;
                break;
            }
            if (!Rest(kStep)) {
                return;
            }
        }
    }
}

} // namespace

void SetMainWindowAccess(MainWindowAccess access) {
    const std::lock_guard lock(State().accessMutex);
    State().access = std::move(access);
}

void StartFreezeWatch() {
    WatchState& state = State();
    const std::lock_guard lock(state.mutex);
    if (state.thread.joinable()) {
        return;
    }
    state.stopRequested = false;
    state.thread = StartOwnThread(Watch);
}

void StopFreezeWatch() {
    std::thread stopping;
    {
        WatchState& state = State();
        const std::lock_guard lock(state.mutex);
        state.stopRequested = true;
        state.changed.notify_all();
        stopping = std::move(state.thread);
    }
    if (stopping.joinable() && stopping.get_id() != std::this_thread::get_id()) {
        stopping.join();
    } else if (stopping.joinable()) {
        stopping.detach();
    }
}

bool FreezeWatchRunning() {
    const std::lock_guard lock(State().mutex);
    return State().thread.joinable();
}

} // namespace faulttrap
