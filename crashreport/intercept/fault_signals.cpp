#include "crashreport/intercept/fault_signals.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/descriptor_output.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/fault_description.h"
#include "crashreport/intercept/handler_guard.h"
#include "crashreport/intercept/program_exit.h"
#include "crashreport/intercept/thread_hooks.h"
#include "crashreport/intercept/thread_state.h"

#include "crashreport/debuginfo/safe_memory.h"

#include <semaphore.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

namespace faulttrap {

namespace {

constexpr std::size_t kAlternateStackSize = 128 * 1024;
constexpr std::size_t kPageSize = 4096;
constexpr std::array<int, 5> kFatalSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

constinit thread_local void* alternateStack = nullptr;

// The fault being reported: written by the faulting thread's handler, read by the fault thread.
struct FaultRecord {
    int signal = 0;
    siginfo_t info{};
    ucontext_t context{};
    std::uint32_t threadId = 0;
    std::uintptr_t stackLow = 0;
    std::uintptr_t stackTop = 0;
    std::uintptr_t copiedFrom = 0;
    std::size_t copiedBytes = 0;
    const std::byte* copy = nullptr;
};

FaultRecord faultRecord;
// For threads that started before FaultTrap and so have no copy buffer of their own.
alignas(16) std::byte spareStackCopy[kStackCopySize];
std::atomic_flag faultInProgress = ATOMIC_FLAG_INIT;
sem_t faultRequested;
sem_t faultDone;
// Never destroyed: a joinable thread destroyed at exit, before finalisation has joined it, would
// terminate the program (the exit handlers of this file may run before or after finalisation).
std::thread& FaultThread() {
    static auto* thread = new std::thread;
    return *thread;
}
std::atomic<bool> stopping{false};
std::array<struct sigaction, kFatalSignals.size()> previousActions{};
bool installed = false;

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
std::uintptr_t StackPointerOf(const ucontext_t& context) {
    return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RSP]);
}

std::uintptr_t InstructionPointerOf(const ucontext_t& context) {
    return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RIP]);
}

// The last-resort deadline: CLOCK_MONOTONIC nanoseconds by which a process that faulted ends,
// whatever its report is waiting for; 0 while no fault is in progress.
std::atomic<std::int64_t> deadlineSeconds{kDefaultFaultDeadline.count()};
std::atomic<std::int64_t> deadlineAt{0};

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
std::int64_t MonotonicNow() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void StartDeadline(std::int64_t seconds) {
    deadlineAt = seconds > 0 ? MonotonicNow() + seconds * 1'000'000'000 : 0;
}

// Ends the process once the deadline has passed; the report lines already written stay.
// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void EndWhenDeadlinePassed() {
    const std::int64_t at = deadlineAt.load();
    if (at != 0 && MonotonicNow() >= at) {
        ::_exit(1);
    }
}

// Waits for `semaphore` in short steps, ending the process when the deadline passes.
// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void WaitWithDeadline(sem_t& semaphore) {
    for (;;) {
        timespec until{};
        ::clock_gettime(CLOCK_REALTIME, &until);
        until.tv_nsec += 50'000'000;
        if (until.tv_nsec >= 1'000'000'000) {
            until.tv_nsec -= 1'000'000'000;
            ++until.tv_sec;
        }
        if (::sem_timedwait(&semaphore, &until) == 0) {
            return;
        }
        EndWhenDeadlinePassed();
    }
}

// Threads that fault while another fault is being reported: each keeps its own signal context
// here for the report, then waits for the end of the process.
constexpr std::size_t kConcurrentFaults = 64;
struct ConcurrentFault {
    std::atomic<std::uint32_t> threadId{0};
    std::atomic<bool> ready{false};
    int signal = 0;
    ucontext_t context{};
};
std::array<ConcurrentFault, kConcurrentFaults> concurrentFaults;

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void KeepConcurrentFault(int signal, const ucontext_t& context) {
    const std::uint32_t self = CurrentThreadId();
    for (ConcurrentFault& slot : concurrentFaults) {
        std::uint32_t free = 0;
        if (!slot.threadId.compare_exchange_strong(free, self)) {
            continue;
        }
        slot.signal = signal;
        std::memcpy(&slot.context, &context, sizeof(ucontext_t));
        slot.ready.store(true, std::memory_order_release);
        return;
    }
}

// Copies the stack from the stack pointer on; after an overflow the first pages may not be
// readable, so the copy starts at the first page that is.
// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void CopyFaultingStack(FaultRecord& record, const ThreadState& state) {
    std::byte* buffer = state.stackCopy != nullptr ? state.stackCopy : spareStackCopy;
    std::uintptr_t from = StackPointerOf(record.context);
    const std::uintptr_t top = state.stackTop;
    record.copy = buffer;
    record.copiedBytes = 0;
    if (top == 0 || from >= top) {
        return;
    }
    for (int page = 0; page < 64 && from < top; ++page) {
        const std::size_t length = std::min<std::size_t>(top - from, kStackCopySize);
        if (ReadMemory(from, buffer, length)) {
            record.copiedFrom = from;
            record.copiedBytes = length;
            return;
        }
        from = (from | (kPageSize - 1)) + 1;
    }
}

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void RestoreDefaultAction(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
}

// Runs in the fault signal's handler.
// Appends `value` in decimal or in 16 hexadecimal digits, without allocating.
char* AppendNumber(char* out, std::uint64_t value, bool hexadecimal) {
    char digits[20];
    int count = 0;
    const unsigned base = hexadecimal ? 16 : 10;
    do {
        digits[count++] = "0123456789ABCDEF"[value % base];
        value /= base;
    } while (value != 0 || (hexadecimal && count < 16));
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

// Runs in the fault signal's handler.
char* AppendText(char* out, const char* text) {
    while (*text != '\0') {
        *out++ = *text++;
    }
    return out;
}

// Runs in the fault signal's handler.
// A fault in FaultTrap's own code (its threads, or its work on a program thread) cannot be
// reported by FaultTrap: it says so on the standard error, with what a developer needs to find
// it, and ends the process with the exit code of a fault's termination rather than by the
// signal. No restart: FaultTrap's own state is in doubt.
[[noreturn]] void EndAfterOwnFault(int signal, const ucontext_t& context) {
    char line[256];
    char* out = AppendText(line, "FaultTrap: signal ");
    out = AppendNumber(out, static_cast<std::uint64_t>(signal), false);
    out = AppendText(out, " at address ");
    out = AppendNumber(out, InstructionPointerOf(context), true);
    out = AppendText(out, " in FaultTrap's own code (thread ID=");
    out = AppendNumber(out, CurrentThreadId(), false);
    out = AppendText(out, "): no report can be made; the process ends.\n");
    WriteToDescriptor(STDERR_FILENO, std::string_view(line, static_cast<std::size_t>(out - line)));
    ::_exit(1);
}

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void OnFatalSignal(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    // A fault inside an event handler abandons the handler, on whatever thread it runs.
    AbandonGuardedCall(signal, info, context);
    ThreadState& state = CurrentThreadState();
    // A signal another process sent is no fault of this code.
    const bool ownFault = info->si_code > 0 || info->si_pid == ::getpid();
    if (IsActive() && !state.insideSignal && ownFault &&
        (state.insideFaultTrap > 0 || state.ownThread)) {
        EndAfterOwnFault(signal, *static_cast<const ucontext_t*>(context));
    }
    if (!IsActive() || state.insideSignal || state.insideFaultTrap > 0 || state.ownThread) {
        // Nothing can be reported: the default action ends the process when the fault repeats.
        RestoreDefaultAction(signal);
        if (signal == SIGABRT) {
            ::raise(SIGABRT);
        }
        errno = savedErrno;
        return;
    }
    state.insideSignal = true;
    if (faultInProgress.test_and_set(std::memory_order_acquire)) {
        // The first fault is the report's exception; this thread's place goes into its report.
        KeepConcurrentFault(signal, *static_cast<const ucontext_t*>(context));
        for (;;) {
            const timespec pause{0, 10'000'000};
            ::nanosleep(&pause, nullptr);
            EndWhenDeadlinePassed();
        }
    }
    StartDeadline(deadlineSeconds);
    FaultRecord& record = faultRecord;
    record.signal = signal;
    record.info = *info;
    std::memcpy(&record.context, context, sizeof(ucontext_t));
    record.threadId = CurrentThreadId();
    record.stackLow = state.stackLow;
    record.stackTop = state.stackTop;
    CopyFaultingStack(record, state);
    ::sem_post(&faultRequested);
    WaitWithDeadline(faultDone);
    // The fault thread ends the process; should it come back, the process still must not go on.
    ::_exit(1);
}

void ReportFault() {
    const FaultRecord& record = faultRecord;
    const InsideFaultTrap inside;
    TExceptNotifyParams params;
    params.LanguageException = false;
    params.Context = record.context;
    params.ThreadId = record.threadId;
    params.StackTop = record.stackTop;
    params.StackPointer = record.copiedFrom;
    params.FramePointer = static_cast<std::uintptr_t>(record.context.uc_mcontext.gregs[REG_RBP]);
    params.StackCopy.assign(record.copy, record.copy + record.copiedBytes);
    params.EventsOnWorker = true;
    const FaultException exception = DescribeException(
        ExceptionOfSignal(record.signal, record.info, record.context, record.stackLow));
    ExceptionManagerWith(exception, InstructionPointerOf(record.context), TExceptionOrigin::Thread,
                         std::move(params), TExceptionVerdict::Unhandled);
    // Whatever the handling chose, after a fault of the operating system the process ends.
    EndProcessAfterFault();
}

void ServeFaults() {
    for (;;) {
        while (::sem_wait(&faultRequested) != 0 && errno == EINTR) {
        }
        if (stopping) {
            return;
        }
        ReportFault();
        ::sem_post(&faultDone);
    }
}

} // namespace

void SetFaultDeadline(std::chrono::seconds deadline) {
    deadlineSeconds = deadline.count();
}

std::chrono::seconds FaultDeadline() {
    return std::chrono::seconds(deadlineSeconds.load());
}

void RestartFaultDeadline(std::chrono::seconds deadline) {
    if (deadlineAt.load() != 0) {
        StartDeadline(deadline.count());
    }
}

std::optional<std::chrono::steady_clock::time_point> FaultDeadlineAt() {
    const std::int64_t at = deadlineAt.load();
    if (at == 0) {
        return std::nullopt;
    }
    // steady_clock is CLOCK_MONOTONIC.
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(at));
}

std::optional<ucontext_t> ConcurrentFaultContext(std::uint32_t threadId) {
    for (const ConcurrentFault& slot : concurrentFaults) {
        if (slot.threadId.load() == threadId && slot.ready.load(std::memory_order_acquire)) {
            return slot.context;
        }
    }
    return std::nullopt;
}

void SetUpAlternateSignalStack() {
    if (alternateStack != nullptr) {
        return;
    }
    void* mapping = ::mmap(nullptr, kAlternateStackSize + kPageSize, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) {
        return;
    }
    // The lowest page guards the memory below the alternate stack.
    ::mprotect(mapping, kPageSize, PROT_NONE);
    stack_t stack{};
    stack.ss_sp = static_cast<std::byte*>(mapping) + kPageSize;
    stack.ss_size = kAlternateStackSize;
    if (::sigaltstack(&stack, nullptr) != 0) {
        ::munmap(mapping, kAlternateStackSize + kPageSize);
        return;
    }
    alternateStack = mapping;
}

void ReleaseAlternateSignalStack() {
    if (alternateStack == nullptr) {
        return;
    }
    stack_t disable{};
    disable.ss_flags = SS_DISABLE;
    ::sigaltstack(&disable, nullptr);
    ::munmap(alternateStack, kAlternateStackSize + kPageSize);
    alternateStack = nullptr;
}

void InstallFaultSignals() {
    if (installed) {
        return;
    }
    PrepareMemoryReads();
    ::sem_init(&faultRequested, 0, 0);
    ::sem_init(&faultDone, 0, 0);
    stopping = false;
    FaultThread() = StartOwnThread(ServeFaults);
    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    ::sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i) {
        ::sigaction(kFatalSignals[i], &action, &previousActions[i]);
    }
    installed = true;
}

void RemoveFaultSignals() {
    if (!installed) {
        return;
    }
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i) {
        ::sigaction(kFatalSignals[i], &previousActions[i], nullptr);
    }
    stopping = true;
    ::sem_post(&faultRequested);
    if (FaultThread().joinable()) {
        FaultThread().join();
    }
    installed = false;
}

} // namespace faulttrap
