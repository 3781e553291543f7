#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace faulttrap {

// Runs callbacks of the worker on the faulting thread: the worker posts one and waits until it
// has run; the faulting thread serves the posted callbacks until the worker finishes.
class FaultingThreadChannel {
public:
    // Worker side: runs `callback` on the faulting thread and returns when it has run.
    void RunThere(const std::function<void()>& callback);
    // Worker side: the processing is over; Serve returns.
    void Finish();
    // Faulting-thread side: runs posted callbacks until Finish.
    void Serve();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* posted_ = nullptr;
    bool finished_ = false;
};

} // namespace faulttrap
