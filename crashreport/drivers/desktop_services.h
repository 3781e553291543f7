#pragma once

// The clipboard and the message boxes of a delivery on the program's GUI thread. Without a GUI
// thread that serves (a console program, a crashed or frozen GUI thread) the messages go to the
// standard error instead and the clipboard is left alone.

#include "crashreport/delivery/delivery_progress.h"

#include <chrono>
#include <string>

namespace faulttrap {

// A top-most message box with one OK button: the information icon or the error icon. The GUI
// thread has `guiStartTimeout` to take it up.
void ShowDeliveryMessage(const std::string& caption, const std::string& text, bool information,
                         std::chrono::milliseconds guiStartTimeout);

// Puts `text` on the clipboard as plain text; nothing when the GUI thread does not take it up
// within `guiStartTimeout`.
void CopyTextToClipboard(const std::string& text, std::chrono::milliseconds guiStartTimeout);

class QtDeliveryDesktop : public TDeliveryNotices {
public:
    void CopyToClipboard(const std::string& text) override;
    void ShowResult(const std::string& caption, const std::string& text, bool success) override;
    void ShowNotice(const std::string& caption, const std::string& text) override;

    // 0 when the GUI thread is known to be gone: nothing waits for it then.
    std::chrono::milliseconds guiStartTimeout{3000};
};

} // namespace faulttrap
