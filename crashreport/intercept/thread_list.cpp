#include "crashreport/intercept/thread_list.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>

namespace faulttrap {

namespace {

bool ThreadExists(std::uint32_t id) {
    return ::syscall(SYS_tgkill, ::getpid(), static_cast<pid_t>(id), 0) == 0;
}

} // namespace

void TFaultThreadsList::DropEndedThreads() {
    std::erase_if(threads_,
                  [](const TFaultThreadInfo& thread) { return !ThreadExists(thread.id); });
}

void TFaultThreadsList::Add(TFaultThreadInfo thread) {
    const std::unique_lock lock(mutex_);
    DropEndedThreads();
    std::erase_if(threads_, [&](const TFaultThreadInfo& known) { return known.id == thread.id; });
    threads_.push_back(std::move(thread));
}

void TFaultThreadsList::Remove(std::uint32_t id) {
    const std::unique_lock lock(mutex_);
    std::erase_if(threads_, [&](const TFaultThreadInfo& thread) { return thread.id == id; });
}

void TFaultThreadsList::MarkReported(std::uint32_t id, bool reported) {
    const std::unique_lock lock(mutex_);
    for (TFaultThreadInfo& thread : threads_) {
        if (thread.id == id) {
            thread.reported = reported;
        }
    }
}

std::optional<TFaultThreadInfo> TFaultThreadsList::Find(std::uint32_t id) const {
    const std::shared_lock lock(mutex_);
    for (const TFaultThreadInfo& thread : threads_) {
        if (thread.id == id) {
            return thread;
        }
    }
    return std::nullopt;
}

std::vector<TFaultThreadInfo> TFaultThreadsList::Snapshot() const {
    const std::shared_lock lock(mutex_);
    return threads_;
}

std::optional<TFaultThreadInfo> TFaultThreadsList::MainThread() const {
    const std::shared_lock lock(mutex_);
    for (const TFaultThreadInfo& thread : threads_) {
        if (thread.isMain) {
            return thread;
        }
    }
    return std::nullopt;
}

void TFaultThreadsList::Clear() {
    const std::unique_lock lock(mutex_);
    threads_.clear();
}

TFaultThreadsList& ThreadsList() {
    // Never destroyed: threads may still start or end while the process exits.
    static auto* list = new TFaultThreadsList;
    return *list;
}

} // namespace faulttrap
