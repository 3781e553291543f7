#include "crashreport/intercept/handler_guard.h"

#include "crashreport/intercept/descriptor_output.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/fault_description.h"
#include "crashreport/intercept/thread_state.h"

#include <setjmp.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstring>

namespace faulttrap {

namespace {

struct GuardFrame {
    sigjmp_buf jump;
    int signal = 0;
    siginfo_t info{};
    ucontext_t context{};
};

constinit thread_local GuardFrame* innermostGuard = nullptr;

std::string FailureText(const FaultException& exception) {
    return exception.className + ": " + exception.message;
}

} // namespace

namespace {

// The handler's frames, which a fault abandons where they stand.
__attribute__((noinline)) std::optional<std::string>
CallHandler(const std::function<void()>& call) {
    // A handler that writes to a standard output whose reader has gone gets an error, and the
    // report goes on.
    const HeldBackBrokenPipe heldBack;
    try {
        call();
    } catch (...) {
        return FailureText(CaptureCurrentException());
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> RunGuarded(const std::function<void()>& call) {
    GuardFrame frame;
    GuardFrame* const outer = innermostGuard;
    // The mask is saved: the jump out of the signal handler unblocks the signal again.
    if (sigsetjmp(frame.jump, 1) != 0) {
        innermostGuard = outer;
        return FailureText(DescribeException(ExceptionOfSignal(
            frame.signal, frame.info, frame.context, CurrentThreadState().stackLow)));
    }
    innermostGuard = &frame;
    std::optional<std::string> failure = CallHandler(call);
    innermostGuard = outer;
    return failure;
}

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void AbandonGuardedCall(int signal, const siginfo_t* info, const void* context) {
    GuardFrame* const frame = innermostGuard;
    // A signal sent from another process is no failure of the handler.
    if (frame == nullptr || info == nullptr ||
        (IsSentSignal(*info) && info->si_pid != ::getpid())) {
        return;
    }
    frame->signal = signal;
    frame->info = *info;
    std::memcpy(&frame->context, context, sizeof(ucontext_t));
    siglongjmp(frame->jump, 1);
}

} // namespace faulttrap
