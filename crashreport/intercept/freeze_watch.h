#pragma once

#include <functional>

namespace faulttrap {

// How the freeze watch reaches the main window: whether the program has one, and a way to run
// a callback in the main thread's event loop (it returns at once; the callback runs later).
struct MainWindowAccess {
    std::function<bool()> exists;
    std::function<void(std::function<void()> callback)> postToMainLoop;
};
void SetMainWindowAccess(MainWindowAccess access);

// The freeze watch (TFreezeThread): started and stopped through the options' switches.
void StartFreezeWatch();
void StopFreezeWatch();
bool FreezeWatchRunning();

} // namespace faulttrap
