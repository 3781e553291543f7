#pragma once

#include <cstddef>
#include <string>

namespace faulttrap {

// The send progress window as the senders drive it; the dialogs supply the window. The calls
// come from the sending thread (the exception worker or the send thread), so a window posts them
// to the GUI thread. By default nothing is shown.
class TSendProgress {
public:
    virtual ~TSendProgress() = default;

    // Opens the window; `keepInFront` keeps it above the other windows.
    virtual void Open(bool keepInFront) { (void)keepInFront; }
    virtual void Close() {}
    virtual void SetSendStatus(const std::string& text) { (void)text; }
    // The status with the counter: item `number` of `count` (recipients, files).
    virtual void SetSendStatusCounted(const std::string& text, std::size_t number,
                                      std::size_t count) {
        (void)text;
        (void)number;
        (void)count;
    }
    // 0 to 100.
    virtual void SetProgress(int percent) { (void)percent; }
    // An error message box over the window.
    virtual void ShowError(const std::string& caption, const std::string& text) {
        (void)caption;
        (void)text;
    }
};

} // namespace faulttrap
