#include "crashreport/intercept/dispatcher.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/fault_classes.h"
#include "crashreport/intercept/library_forwarding.h"
#include "crashreport/intercept/module_events.h"
#include "crashreport/intercept/processing.h"
#include "crashreport/intercept/processing_hooks.h"
#include "crashreport/intercept/thread_hooks.h"
#include "crashreport/intercept/thread_state.h"

#include "crashreport/options/loaded_module.h"

#include <sys/mman.h>

#include <atomic>
#include <cerrno>
#include <mutex>

namespace faulttrap {

namespace {

constexpr std::size_t kReserveSize = 16 * 1024 * 1024;
constexpr std::string_view kSafeCallPrefix = "[SafeCall Exception]: ";

std::mutex reserveLock;
void* addressSpaceReserve = nullptr;
std::atomic<std::uint32_t> threadInProcessing{0};

bool StartsWithSafeCallPrefix(const std::string& message) {
    return message.rfind(kSafeCallPrefix, 0) == 0;
}

bool RunProcessing(const ProcessingJob& job) {
    if (job.params.EventsOnWorker) {
        return ProcessException(job, nullptr);
    }
    // The worker processes; this thread waits and runs the events the worker hands to it, so
    // that event handlers and window reads happen on the thread that owns the windows.
    FaultingThreadChannel channel;
    bool result = true;
    std::thread worker = StartOwnThread([&] {
        result = ProcessException(job, &channel);
        channel.Finish();
    });
    {
        const InsideFaultTrap inside;
        channel.Serve();
    }
    worker.join();
    return result;
}

} // namespace

std::mutex& ProcessingLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

void TakeAddressSpaceReserve() {
    const std::lock_guard lock(reserveLock);
    if (addressSpaceReserve != nullptr) {
        return;
    }
    void* reserve = ::mmap(nullptr, kReserveSize, PROT_NONE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    addressSpaceReserve = reserve == MAP_FAILED ? nullptr : reserve;
}

void ReleaseAddressSpaceReserve() {
    const std::lock_guard lock(reserveLock);
    if (addressSpaceReserve != nullptr) {
        ::munmap(addressSpaceReserve, kReserveSize);
    }
    addressSpaceReserve = nullptr;
}

std::uint32_t ThreadInProcessing() {
    return threadInProcessing;
}

void WaitForProcessing() {
    const std::lock_guard lock(ProcessingLock());
}

bool ExceptionManagerWith(const FaultException& exception, std::uintptr_t address,
                          TExceptionOrigin origin, TExceptNotifyParams params,
                          TExceptionVerdict verdict) {
    if (!IsActive() || IsOfClass<EAbort>(exception)) {
        return true;
    }
    ThreadState& state = CurrentThreadState();
    if (state.insideDispatcher) {
        return false;
    }
    const std::uint32_t faultingThread = params.ThreadId != 0 ? params.ThreadId : CurrentThreadId();
    // The thread whose exception is being processed raises again (an event handler of its own):
    // only the first one is processed.
    if (threadInProcessing == faultingThread) {
        return false;
    }
    ReleaseAddressSpaceReserve();
    bool result = false;
    {
        const std::lock_guard lock(ProcessingLock());
        state.insideDispatcher = true;
        const std::uint16_t behaviour = MainModuleOptions().BehaviourOptions();
        const bool safeCallAgain = StartsWithSafeCallPrefix(exception.message) &&
                                   !(behaviour & behaviour_options::SafeCallAndUnwinding);
        if (!safeCallAgain && MainModuleOptions().HandlingActive()) {
            params.ThreadId = faultingThread;
            if (!params.EventsOnWorker) {
                if (const auto reader = CurrentFocusReader()) {
                    const InsideFaultTrap inside;
                    try {
                        reader(params.FocusClass, params.FocusText);
                    } catch (...) {
                    }
                }
            }
            ProcessingJob job{exception, address, origin, std::move(params), verdict};
            if (verdict == TExceptionVerdict::SafeCall &&
                !StartsWithSafeCallPrefix(job.exception.message)) {
                job.exception.message = std::string(kSafeCallPrefix) + job.exception.message;
            }
            threadInProcessing = faultingThread;
            const TModuleEventsScope moduleEvents(address);
            result = RunProcessing(job);
            threadInProcessing = 0;
        }
        state.insideDispatcher = false;
    }
    TakeAddressSpaceReserve();
    return result;
}

bool NotificationEntry(const FaultException& exception, std::uintptr_t address,
                       TExceptNotifyParams params, TExceptionVerdict verdict) {
    ThreadState& state = CurrentThreadState();
    if (state.insideNotification) {
        return true;
    }
    const int savedErrno = errno;
    state.insideNotification = true;
    const bool result = ExceptionManagerWith(exception, address, TExceptionOrigin::Thread,
                                             std::move(params), verdict);
    state.insideNotification = false;
    errno = savedErrno;
    return result;
}

bool ExceptionManager(const std::exception_ptr& object, std::uintptr_t address, std::uint8_t origin,
                      std::uintptr_t module) {
    if (const TExceptionManagerExport host = ForwardingTarget()) {
        return host(&object, address, origin, module != 0 ? module : SubsystemModule().Handle);
    }
    if (!IsActive()) {
        return true;
    }
    FaultException exception;
    TExceptNotifyParams params;
    {
        const InsideFaultTrap inside;
        exception = DescribeException(object);
        params = ParamsOfCallingThread(exception.type);
    }
    // Reported here: the end of the catch block that called us does not report it again.
    CurrentThreadState().reported = true;
    if (address == 0) {
        address = CurrentThreadState().raise.returnAddress;
    }
    return ExceptionManagerWith(exception, address, static_cast<TExceptionOrigin>(origin),
                                std::move(params), TExceptionVerdict::Unhandled);
}

} // namespace faulttrap
