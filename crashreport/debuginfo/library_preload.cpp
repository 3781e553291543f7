#include "crashreport/debuginfo/library_preload.h"

#include <condition_variable>
#include <mutex>

namespace faulttrap {

namespace {

constexpr std::chrono::milliseconds kLongestWaitForPreload{250};

// Never destroyed: the preloading thread may still wait on them while the process exits.
struct Preload {
    std::mutex mutex;
    std::condition_variable changed;
    bool announced = false;
    bool wanted = false; // a report asks for the libraries now
    bool done = false;
    bool gaveUp = false; // a report waited in vain: later ones do not wait again
};

Preload& ThePreload() {
    static auto* preload = new Preload;
    return *preload;
}

} // namespace

void AnnounceReportLibraryPreload() {
    Preload& preload = ThePreload();
    const std::lock_guard lock(preload.mutex);
    preload.announced = true;
}

void RunReportLibraryPreload(std::chrono::milliseconds delay, const std::function<void()>& load) {
    Preload& preload = ThePreload();
    {
        std::unique_lock lock(preload.mutex);
        preload.changed.wait_for(lock, delay, [&] { return preload.wanted; });
    }
    load();
    {
        const std::lock_guard lock(preload.mutex);
        preload.done = true;
    }
    preload.changed.notify_all();
}

bool MayLoadReportLibraries() {
    Preload& preload = ThePreload();
    std::unique_lock lock(preload.mutex);
    if (!preload.announced || preload.done) {
        return true;
    }
    if (preload.gaveUp) {
        return false;
    }
    preload.wanted = true;
    preload.changed.notify_all();
    if (preload.changed.wait_for(lock, kLongestWaitForPreload, [&] { return preload.done; })) {
        return true;
    }
    preload.gaveUp = true;
    return false;
}

} // namespace faulttrap
