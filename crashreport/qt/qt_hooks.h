#pragma once

namespace faulttrap {

// Installs the window system's parts of the processing (dialogs, delivery and clipboard, main
// window, focus) and removes them.
void InstallQtHooks();
void RemoveQtHooks();

} // namespace faulttrap
