#pragma once

#include <ucontext.h>

#include <cstdint>
#include <vector>

namespace faulttrap {

// Stands for suspending a thread and reading its context: a real-time signal makes the thread
// save its context and wait in its handler until it is resumed.
void InstallPauseSignal();
void RemovePauseSignal();

class ThreadPauser {
public:
    ThreadPauser() = default;
    ThreadPauser(const ThreadPauser&) = delete;
    ThreadPauser& operator=(const ThreadPauser&) = delete;
    ~ThreadPauser() { ResumeAll(); }

    // Pauses thread `id` and copies its context; false when it did not stop in time (it may be
    // blocking the signal), in which case it goes on untouched.
    bool Pause(std::uint32_t id, ucontext_t& context);
    // Resumes every thread this object paused, each exactly once, and waits until each has left
    // its pause.
    void ResumeAll();

private:
    std::vector<int> slots_;
};

} // namespace faulttrap
