#include "crashreport/intercept/event_channel.h"

namespace faulttrap {

void FaultingThreadChannel::RunThere(const std::function<void()>& callback) {
    std::unique_lock lock(mutex_);
    posted_ = &callback;
    changed_.notify_all();
    changed_.wait(lock, [&] { return posted_ == nullptr; });
}

void FaultingThreadChannel::Finish() {
    const std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

void FaultingThreadChannel::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return finished_ || posted_ != nullptr; });
        if (posted_ != nullptr) {
            const std::function<void()>* callback = posted_;
            lock.unlock();
            // Exceptions of event handlers are swallowed: they never reach the program.
            try {
                (*callback)();
            } catch (...) {
            }
            lock.lock();
            posted_ = nullptr;
            changed_.notify_all();
        } else if (finished_) {
            return;
        }
    }
}

} // namespace faulttrap
