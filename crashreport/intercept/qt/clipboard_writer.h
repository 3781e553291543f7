#pragma once

#include <string>

namespace faulttrap {

// Puts `text` (Windows-1252) on the clipboard as plain text. The clipboard belongs to the GUI
// thread: from another thread the copy is handed to it, and dropped when that thread does not
// take it up in time (it is frozen or has crashed). Nothing happens without a GUI.
void WriteReportToClipboard(const std::string& text);

} // namespace faulttrap
