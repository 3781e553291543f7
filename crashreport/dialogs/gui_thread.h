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
// caller waits. A GUI thread that has not taken the work up within `startTimeout` counts as
// unable to serve (frozen, or stopped by a crash): the work is then dropped and the result is
// false. An exception thrown by `work` reaches the caller.
bool RunOnGuiThreadWithin(const std::function<void()>& work,
                          std::chrono::milliseconds startTimeout);

} // namespace faulttrap
