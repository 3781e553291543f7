#pragma once

// Widgets live on the GUI thread. A worker that needs a dialog asks the GUI thread to run it and
// waits until it has.

#include <chrono>
#include <functional>

namespace faulttrap {

// A QApplication exists.
bool HasGui();
bool OnGuiThread();

// Runs `work` on the GUI thread: at once when called there, otherwise queued to it while the
// caller waits. The GUI thread must be serving its event loop.
void RunOnGuiThread(const std::function<void()>& work);

// As RunOnGuiThread, but a GUI thread that has not taken the work up within `startTimeout` counts
// as unable to serve (frozen, or stopped by a crash): the work is then dropped and the result is
// false.
bool RunOnGuiThreadWithin(const std::function<void()>& work,
                          std::chrono::milliseconds startTimeout);

} // namespace faulttrap
