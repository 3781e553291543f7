#pragma once

// Where a delivery shows its progress and tells its result: the send progress window and the
// message boxes of a program with a window, or the standard error of a program without one.

#include "crashreport/email/send_progress.h"
#include "crashreport/email/send_report.h"
#include "crashreport/web/send_progress_receiver.h"

#include <string>

namespace faulttrap {

class TDeliveryProgress : public TSendProgress, public TSendProgressReceiver {
public:
    // Whether the progress is shown: failed steps then show their warnings there.
    virtual bool IsUp() const = 0;
    void SetSendProgress(int percent) override { SetProgress(percent); }
};

class TDeliveryNotices : public TDeliveryDesktop {
public:
    // An information message that stays until the user has read it (the closed-bug notice).
    virtual void ShowNotice(const std::string& caption, const std::string& text) = 0;
};

} // namespace faulttrap
