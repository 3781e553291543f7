#include "crashreport/intercept/thread_pause.h"

#include <linux/futex.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace faulttrap {

namespace {

enum SlotState : int { Free = 0, Requested = 1, Parked = 2, Released = 3, Abandoned = 4 };

struct PauseSlot {
    std::atomic<std::uint32_t> threadId{0};
    std::atomic<int> state{Free};
    ucontext_t context{};
};

constexpr std::size_t kSlotCount = 256;
constexpr auto kPauseTimeout = std::chrono::milliseconds(500);
std::array<PauseSlot, kSlotCount> slots;
struct sigaction previousAction {};
bool installed = false;

int PauseSignal() {
    return SIGRTMIN + 9;
}

// Runs in the pause signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void FutexWait(std::atomic<int>& word, int expected) {
    ::syscall(SYS_futex, reinterpret_cast<int*>(&word), FUTEX_WAIT_PRIVATE, expected, nullptr,
              nullptr, 0);
}

// Runs in the pause signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void FutexWake(std::atomic<int>& word) {
    ::syscall(SYS_futex, reinterpret_cast<int*>(&word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

// Runs in the pause signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
void OnPauseSignal(int, siginfo_t*, void* context) {
    const int savedErrno = errno;
    const auto self = static_cast<std::uint32_t>(::gettid());
    for (PauseSlot& slot : slots) {
        if (slot.threadId.load() != self || slot.state.load() != Requested) {
            continue;
        }
        std::memcpy(&slot.context, context, sizeof(ucontext_t));
        int expected = Requested;
        if (!slot.state.compare_exchange_strong(expected, Parked)) {
            break;
        }
        FutexWake(slot.state);
        while (slot.state.load() == Parked) {
            FutexWait(slot.state, Parked);
        }
        slot.threadId = 0;
        slot.state = Free;
        FutexWake(slot.state);
        break;
    }
    errno = savedErrno;
}

int ClaimSlot(std::uint32_t id) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Requested)) {
            slots[i].threadId = id;
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

void InstallPauseSignal() {
    if (installed) {
        return;
    }
    struct sigaction action {};
    action.sa_sigaction = OnPauseSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
    ::sigfillset(&action.sa_mask);
    ::sigaction(PauseSignal(), &action, &previousAction);
    installed = true;
}

void RemovePauseSignal() {
    if (!installed) {
        return;
    }
    ::sigaction(PauseSignal(), &previousAction, nullptr);
    installed = false;
}

bool ThreadPauser::Pause(std::uint32_t id, ucontext_t& context) {
    if (!installed) {
        return false;
    }
    const int index = ClaimSlot(id);
    if (index < 0) {
        return false;
    }
    PauseSlot& slot = slots[static_cast<std::size_t>(index)];
    if (::syscall(SYS_tgkill, ::getpid(), static_cast<pid_t>(id), PauseSignal()) != 0) {
        slot.threadId = 0;
        slot.state = Free;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kPauseTimeout;
    while (slot.state.load() == Requested && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    int expected = Requested;
    if (slot.state.compare_exchange_strong(expected, Abandoned)) {
        // Too late: should the signal still arrive, the thread finds no request and goes on.
        slot.threadId = 0;
        slot.state = Free;
        return false;
    }
    std::memcpy(&context, &slot.context, sizeof(ucontext_t));
    slots_.push_back(index);
    return true;
}

void ThreadPauser::ResumeAll() {
    for (const int index : slots_) {
        PauseSlot& slot = slots[static_cast<std::size_t>(index)];
        slot.state = Released;
        FutexWake(slot.state);
    }
    for (const int index : slots_) {
        PauseSlot& slot = slots[static_cast<std::size_t>(index)];
        while (slot.state.load() == Released) {
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    }
    slots_.clear();
}

} // namespace faulttrap
