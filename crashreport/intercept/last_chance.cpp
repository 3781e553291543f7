#include "crashreport/intercept/last_chance.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/fault_classes.h"
#include "crashreport/intercept/thread_list.h"
#include "crashreport/intercept/thread_state.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace faulttrap {

namespace {

std::terminate_handler previousHandler = nullptr;

// What the C++ library itself says when it terminates: the standard handling.
void WriteStandardMessage(const FaultException& exception) {
    if (exception.object) {
        std::fprintf(stderr, "terminate called after throwing an instance of '%s'\n  what():  %s\n",
                     exception.className.c_str(), exception.message.c_str());
    } else {
        std::fprintf(stderr, "terminate called without an active exception\n");
    }
}

bool IsMainThread() {
    return CurrentThreadId() == static_cast<std::uint32_t>(::getpid());
}

[[noreturn]] void OnTerminate() {
    ThreadState& state = CurrentThreadState();
    if (state.insideFaultTrap > 0 || state.insideNotification) {
        // FaultTrap's own processing broke down: nothing more can be reported.
        std::fputs("FaultTrap: terminate inside the exception processing\n", stderr);
        ::_exit(1);
    }
    FaultException exception;
    std::uintptr_t address = 0;
    TExceptNotifyParams params;
    {
        const InsideFaultTrap inside;
        exception = CaptureCurrentException();
        if (exception.object) {
            address = state.raise.returnAddress;
            params = ParamsOfCallingThread(exception.type);
        } else {
            exception = DescribeException(std::make_exception_ptr(
                EExternalException("terminate called without an active exception")));
            address = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
            params = ParamsOfCallingThread(nullptr);
            params.LanguageException = false;
        }
    }
    bool standardHandling = true;
    if (IsActive() && !state.reported) {
        state.reported = true;
        standardHandling =
            NotificationEntry(exception, address, std::move(params), TExceptionVerdict::Unhandled);
    }
    if (standardHandling) {
        WriteStandardMessage(exception);
    }
    if (IsMainThread()) {
        // The exit flushes the program's streams: a reader that has gone must not turn the
        // end with exit code 1 into SIGPIPE.
        ::signal(SIGPIPE, SIG_IGN);
        std::exit(1);
    }
    // Only this thread ends; the process goes on, as it does after a thread routine's exception.
    ThreadsList().Remove(CurrentThreadId());
    ::syscall(SYS_exit, 1);
    __builtin_unreachable();
}

} // namespace

void InstallLastChanceHandler() {
    previousHandler = std::set_terminate(OnTerminate);
}

void RemoveLastChanceHandler() {
    if (std::get_terminate() == OnTerminate) {
        std::set_terminate(previousHandler);
    }
}

} // namespace faulttrap
