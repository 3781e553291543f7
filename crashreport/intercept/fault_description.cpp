#include "crashreport/intercept/fault_description.h"

#include "crashreport/intercept/fault_classes.h"

#include "crashreport/debuginfo/module_list.h"
#include "crashreport/report/value_formats.h"
#include "crashreport/text/strings.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace faulttrap {

namespace {

constexpr std::uintptr_t kPageSize = 4096;

std::uintptr_t StackPointerOf(const ucontext_t& context) {
    return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RSP]);
}

std::uintptr_t InstructionPointerOf(const ucontext_t& context) {
    return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RIP]);
}

bool IsStackOverflow(const siginfo_t& info, const ucontext_t& context, std::uintptr_t stackLow) {
    const auto address = reinterpret_cast<std::uintptr_t>(info.si_addr);
    const std::uintptr_t stackPointer = StackPointerOf(context);
    constexpr std::uintptr_t kNear = 256 * 1024;
    const bool nearStackEnd = stackLow != 0 && stackPointer < stackLow + kNear;
    const bool besideStackPointer =
        address + kNear > stackPointer && address <= stackPointer + kPageSize;
    return nearStackEnd && besideStackPointer;
}

std::string ModuleNameAt(std::uintptr_t address) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    const TFaultModuleInfo* module = modules.Find(address);
    return module ? std::filesystem::path(module->path).filename().string() : std::string();
}

std::string SignalName(int signal) {
    const char* abbreviation = ::sigabbrev_np(signal);
    return abbreviation ? std::string("SIG") + abbreviation : "signal " + std::to_string(signal);
}

// A signal that a process sent: the class the signal stands for when nothing tells a finer one.
std::exception_ptr ExceptionOfSentSignal(int signal, const siginfo_t& info) {
    const std::string message =
        "Signal " + SignalName(signal) + " sent by process " + std::to_string(info.si_pid) + ".";
    switch (signal) {
    case SIGSEGV:
    case SIGBUS:
        return std::make_exception_ptr(EAccessViolation(message));
    case SIGFPE:
        return std::make_exception_ptr(EInvalidOp(message));
    default:
        return std::make_exception_ptr(EExternalException(message));
    }
}

} // namespace

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
bool IsSentSignal(const siginfo_t& info) {
    return info.si_code <= 0;
}

std::exception_ptr ExceptionOfSignal(int signal, const siginfo_t& info, const ucontext_t& context,
                                     std::uintptr_t stackLow) {
    // abort() raises SIGABRT at its own process: that is the program's abnormal termination.
    const bool ownAbort = signal == SIGABRT && info.si_pid == ::getpid();
    if (IsSentSignal(info) && !ownAbort) {
        return ExceptionOfSentSignal(signal, info);
    }
    const std::uintptr_t at = InstructionPointerOf(context);
    const int code = info.si_code;
    switch (signal) {
    case SIGSEGV:
    case SIGBUS: {
        if (signal == SIGSEGV && IsStackOverflow(info, context, stackLow)) {
            return std::make_exception_ptr(EStackOverflow("Stack overflow"));
        }
        const bool write = (context.uc_mcontext.gregs[REG_ERR] & 2) != 0;
        return std::make_exception_ptr(EAccessViolation(
            AccessViolationMessage(at, ModuleNameAt(at), write,
                                   reinterpret_cast<std::uintptr_t>(info.si_addr)) +
            "."));
    }
    case SIGFPE:
        if (code == FPE_INTDIV) {
            return std::make_exception_ptr(EZeroDivide("Division by zero"));
        }
        if (code == FPE_INTOVF) {
            return std::make_exception_ptr(EIntOverflow("Integer overflow"));
        }
        return std::make_exception_ptr(EInvalidOp("Invalid floating point operation"));
    case SIGILL:
        if (code == ILL_PRVOPC || code == ILL_PRVREG) {
            return std::make_exception_ptr(EPrivilege("Privileged instruction"));
        }
        return std::make_exception_ptr(
            EExternalException("Illegal instruction at address " + Hex(at, 16) + "."));
    default:
        return std::make_exception_ptr(
            EExternalException("Abnormal program termination (SIGABRT)."));
    }
}

} // namespace faulttrap
