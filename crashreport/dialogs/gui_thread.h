#pragma once

// Widgets live on the GUI thread. A worker that needs a dialog asks the GUI thread to run it and
// waits until it has.

#include <functional>

namespace faulttrap {

// A QApplication exists.
bool HasGui();
bool OnGuiThread();

// Runs `work` on the GUI thread: at once when called there, otherwise queued to it while the
// caller waits. The GUI thread must be serving its event loop.
void RunOnGuiThread(const std::function<void()>& work);

} // namespace faulttrap
