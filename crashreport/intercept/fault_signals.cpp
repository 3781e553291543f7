#include "intercept/fault_signals.h"

#include "intercept/activation.h"
#include "intercept/dispatcher.h"
#include "intercept/exception_object.h"
#include "intercept/fault_classes.h"
#include "intercept/program_exit.h"
#include "intercept/thread_hooks.h"
#include "intercept/thread_state.h"

#include "debuginfo/module_list.h"
#include "debuginfo/safe_memory.h"

#include "crashreport/report/value_formats.h"

#include <semaphore.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

std::uintptr_t StackPointerOf(const ucontext_t& context) {
    return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RSP]);
}

std::uintptr_t InstructionPointerOf(const ucontext_t& context) {
    return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RIP]);
}

// Copies the stack from the stack pointer on; after an overflow the first pages may not be
// readable, so the copy starts at the first page that is.
void CopyFaultingStack(FaultRecord& record, const ThreadState& state) {
    std::byte* buffer = state.stackCopy != nullptr ? state.stackCopy : spareStackCopy;
    std::uintptr_t from = StackPointerOf(record.context);
    const std::uintptr_t top = state.stackTop;
    record.copy = buffer;
    record.copiedBytes = 0;
    if (top == 0 || from >= top)
        return;
    for (int page = 0; page < 64 && from < top; ++page) {
        const std::size_t length = std::min<std::size_t>(top - from, kStackCopySize);
        if (readMemory(from, buffer, length)) {
            record.copiedFrom = from;
            record.copiedBytes = length;
            return;
        }
        from = (from | (kPageSize - 1)) + 1;
    }
}

void RestoreDefaultAction(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
}

void OnFatalSignal(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    ThreadState& state = CurrentThreadState();
    if (!IsActive() || state.insideSignal || state.insideFaultTrap > 0 || state.ownThread) {
        // Nothing can be reported: the default action ends the process when the fault repeats.
        RestoreDefaultAction(signal);
        if (signal == SIGABRT)
            ::raise(SIGABRT);
        errno = savedErrno;
        return;
    }
    state.insideSignal = true;
    while (faultInProgress.test_and_set(std::memory_order_acquire)) {
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
    FaultRecord& record = faultRecord;
    record.signal = signal;
    record.info = *info;
    std::memcpy(&record.context, context, sizeof(ucontext_t));
    record.threadId = CurrentThreadId();
    record.stackLow = state.stackLow;
    record.stackTop = state.stackTop;
    CopyFaultingStack(record, state);
    ::sem_post(&faultRequested);
    while (::sem_wait(&faultDone) != 0 && errno == EINTR) {
    }
    // The fault thread ends the process; should it come back, the process still must not go on.
    ::_exit(1);
}

bool IsStackOverflow(const FaultRecord& record) {
    const auto address = reinterpret_cast<std::uintptr_t>(record.info.si_addr);
    const std::uintptr_t stackPointer = StackPointerOf(record.context);
    constexpr std::uintptr_t kNear = 256 * 1024;
    const bool nearStackEnd = record.stackLow != 0 && stackPointer < record.stackLow + kNear;
    const bool besideStackPointer =
        address + kNear > stackPointer && address <= stackPointer + kPageSize;
    return nearStackEnd && besideStackPointer;
}

std::string Hex(std::uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIXPTR, value);
    return text;
}

std::string ModuleNameAt(std::uintptr_t address) {
    const TFaultModulesList modules = TFaultModulesList::current();
    const TFaultModuleInfo* module = modules.find(address);
    return module ? std::filesystem::path(module->path).filename().string() : std::string();
}

std::exception_ptr ExceptionOfFault(const FaultRecord& record) {
    const std::uintptr_t at = InstructionPointerOf(record.context);
    const int code = record.info.si_code;
    switch (record.signal) {
    case SIGSEGV:
    case SIGBUS: {
        if (record.signal == SIGSEGV && IsStackOverflow(record))
            return std::make_exception_ptr(EStackOverflow("Stack overflow"));
        const bool write = (record.context.uc_mcontext.gregs[REG_ERR] & 2) != 0;
        return std::make_exception_ptr(EAccessViolation(
            AccessViolationMessage(at, ModuleNameAt(at), write,
                                   reinterpret_cast<std::uintptr_t>(record.info.si_addr)) +
            "."));
    }
    case SIGFPE:
        if (code == FPE_INTDIV)
            return std::make_exception_ptr(EZeroDivide("Division by zero"));
        if (code == FPE_INTOVF)
            return std::make_exception_ptr(EIntOverflow("Integer overflow"));
        return std::make_exception_ptr(EInvalidOp("Invalid floating point operation"));
    case SIGILL:
        if (code == ILL_PRVOPC || code == ILL_PRVREG)
            return std::make_exception_ptr(EPrivilege("Privileged instruction"));
        return std::make_exception_ptr(
            EExternalException("Illegal instruction at address " + Hex(at) + "."));
    default:
        return std::make_exception_ptr(
            EExternalException("Abnormal program termination (SIGABRT)."));
    }
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
    const FaultException exception = DescribeException(ExceptionOfFault(record));
    ExceptionManagerWith(exception, InstructionPointerOf(record.context), TExceptionOrigin::Thread,
                         std::move(params), TExceptionVerdict::Unhandled);
    // Whatever the handling chose, after a fault of the operating system the process ends.
    EndProcessAfterFault();
}

void ServeFaults() {
    for (;;) {
        while (::sem_wait(&faultRequested) != 0 && errno == EINTR) {
        }
        if (stopping)
            return;
        ReportFault();
        ::sem_post(&faultDone);
    }
}

} // namespace

void SetUpAlternateSignalStack() {
    if (alternateStack != nullptr)
        return;
    void* mapping = ::mmap(nullptr, kAlternateStackSize + kPageSize, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED)
        return;
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
    if (alternateStack == nullptr)
        return;
    stack_t disable{};
    disable.ss_flags = SS_DISABLE;
    ::sigaltstack(&disable, nullptr);
    ::munmap(alternateStack, kAlternateStackSize + kPageSize);
    alternateStack = nullptr;
}

void InstallFaultSignals() {
    if (installed)
        return;
    ::sem_init(&faultRequested, 0, 0);
    ::sem_init(&faultDone, 0, 0);
    stopping = false;
    FaultThread() = StartOwnThread(ServeFaults);
    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    ::sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
        ::sigaction(kFatalSignals[i], &action, &previousActions[i]);
    installed = true;
}

void RemoveFaultSignals() {
    if (!installed)
        return;
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
        ::sigaction(kFatalSignals[i], &previousActions[i], nullptr);
    stopping = true;
    ::sem_post(&faultRequested);
    if (FaultThread().joinable())
        FaultThread().join();
    installed = false;
}

} // namespace faulttrap
