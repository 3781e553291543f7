#pragma once

namespace faulttrap {

// Installs the window system's parts of the processing (dialogs and delivery, main window,
// focus) and removes them.
void InstallQtHooks();
void RemoveQtHooks();

} // namespace faulttrap
