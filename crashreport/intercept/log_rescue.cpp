#include "crashreport/intercept/log_rescue.h"

#include "crashreport/intercept/fault_signals.h"
#include "crashreport/intercept/thread_hooks.h"

namespace faulttrap {

namespace {

// How long before the deadline the guard writes: time enough for the log, at most half of it.
constexpr std::chrono::milliseconds kRescueMargin{1000};

} // namespace

LogRescue::LogRescue(std::function<void()> writeLog) : writeLog_(std::move(writeLog)) {
    if (FaultDeadlineAt()) {
        watcher_ = StartOwnThread([this] { Watch(); });
    }
}

LogRescue::~LogRescue() {
    if (!watcher_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    watcher_.join();
}

bool LogRescue::Claim() {
    return !claimed_.exchange(true);
}

void LogRescue::Watch() {
    std::unique_lock lock(mutex_);
    for (;;) {
        // The deadline may move (a dialog waits longer): it is read again each round.
        const std::optional<std::chrono::steady_clock::time_point> deadline = FaultDeadlineAt();
        if (!deadline) {
            return;
        }
        const auto margin =
            std::min<std::chrono::steady_clock::duration>(kRescueMargin, FaultDeadline() / 2);
        const auto rescueAt = *deadline - margin;
        if (std::chrono::steady_clock::now() >= rescueAt) {
            break;
        }
        const auto wakeAt =
            std::min(rescueAt, std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
        if (stop_.wait_until(lock, wakeAt, [&] { return stopping_; })) {
            return;
        }
    }
    lock.unlock();
    if (Claim()) {
        writeLog_();
    }
}

} // namespace faulttrap
