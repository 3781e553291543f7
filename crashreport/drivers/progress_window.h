#pragma once

// The send progress window of the dialogs as the e-mail and web senders drive it.

#include "crashreport/delivery/delivery_progress.h"
#include "crashreport/dialogs/send_progress.h"

namespace faulttrap {

class ProgressWindow : public TDeliveryProgress {
public:
    explicit ProgressWindow(DialogSession& session) : session_(session), display_(session) {}

    void Open(bool keepInFront) override;
    void Close() override;
    void SetSendStatus(const std::string& text) override;
    void SetSendStatusCounted(const std::string& text, std::size_t number,
                              std::size_t count) override;
    void SetProgress(int percent) override;
    // The "Error." box over the window while it is open.
    void ShowError(const std::string& caption, const std::string& text) override;

    // Whether the window is up: failed deliveries then show their warnings.
    bool IsUp() const override { return open_; }

private:
    DialogSession& session_;
    SendProgressDisplay display_;
    // Set once the window opened on the GUI thread; a GUI thread that did not serve the opening
    // is not asked again for every status.
    bool open_ = false;
};

} // namespace faulttrap
