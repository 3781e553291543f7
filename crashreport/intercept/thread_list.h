#pragma once

#include <pthread.h>

#include <cstdint>
#include <optional>
#include <shared_mutex>
#include <vector>

namespace faulttrap {

inline constexpr int kPriorityNotRead = -1000;

// A thread of the process that FaultTrap has seen start.
struct TFaultThreadInfo {
    std::uint32_t id = 0; // Linux thread id
    pthread_t handle{};
    int priority = kPriorityNotRead;
    void* (*startRoutine)(void*) = nullptr;
    void* parameter = nullptr;
    std::uintptr_t stackTop = 0;
    bool isMain = false;
    bool ownThread = false; // one of FaultTrap's own threads
    bool resumed = false;
    bool reported = false;
    // Return addresses of the thread that created this one, at the creation.
    std::vector<std::uintptr_t> creationStack;

    // The main thread is the runtime's thread; every other one an operating-system thread.
    bool IsRuntimeThread() const { return isMain; }
};

// Every thread FaultTrap has seen, guarded by a many-readers/one-writer lock.
class TFaultThreadsList {
public:
    void Add(TFaultThreadInfo thread);
    void Remove(std::uint32_t id);
    void MarkReported(std::uint32_t id, bool reported);
    std::optional<TFaultThreadInfo> Find(std::uint32_t id) const;
    std::vector<TFaultThreadInfo> Snapshot() const;
    std::optional<TFaultThreadInfo> MainThread() const;
    void Clear();

private:
    // Drops entries of threads that have ended (their id no longer exists in this process).
    void DropEndedThreads();

    mutable std::shared_mutex mutex_;
    std::vector<TFaultThreadInfo> threads_;
};

TFaultThreadsList& ThreadsList();

} // namespace faulttrap
