#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace faulttrap {

// After a fault of the operating system the process ends at the last-resort deadline, whatever
// the report waits for. So that an event handler or a dialog that never returns does not cost
// the report, this guard writes the log itself shortly before the deadline when the report's own
// log step has not begun by then. Without a running deadline it does nothing.
class LogRescue {
public:
    explicit LogRescue(std::function<void()> writeLog);
    ~LogRescue();
    LogRescue(const LogRescue&) = delete;
    LogRescue& operator=(const LogRescue&) = delete;

    // The log step's claim on the log: false when the guard has written it already.
    bool Claim();

private:
    void Watch();

    std::function<void()> writeLog_;
    std::atomic<bool> claimed_{false};
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread watcher_;
};

} // namespace faulttrap
