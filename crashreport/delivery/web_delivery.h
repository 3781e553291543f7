#pragma once

// The web step of a delivery: uploads and bug trackers over SendByWeb, with the program's events,
// the send progress window and the user's messages.

#include "crashreport/delivery/delivery_progress.h"
#include "crashreport/delivery/fault_events.h"

#include "crashreport/email/send_report.h"
#include "crashreport/trackers/send_to_tracker.h"
#include "crashreport/web/web_step.h"

#include <optional>
#include <string>
#include <utility>

namespace faulttrap {

class WebDelivery : public TWebDelivery, public TWebStepEvents, public TTrackerNotices {
public:
    WebDelivery(const TFaultModuleOptions& options, const TReportPackage& package,
                const TFaultExceptionRecord& record, FaultDeliveryEvents& events,
                TDeliveryProgress& progress, TDeliveryNotices& notices, TTransferLimits limits)
        : options_(options), package_(package), record_(record), events_(events),
          progress_(progress), notices_(notices), limits_(std::move(limits)) {}

    // TWebDelivery
    bool Send(const std::vector<std::string>& attachments) override;
    bool BugClosedMessageShown() const override { return bugClosedShown_; }

    // TWebStepEvents
    bool BeforeWebSend() override;
    void AfterWebSend() override;
    bool RetryWebSend() override;
    std::vector<std::string> CustomWebFields() override;
    void Warn(const TWebWarning& warning) override;
    TSendProgressReceiver* OpenSendProgress(bool keepInFront) override;
    void CloseSendProgress() override;
    bool SendToTracker(TFaultWebSendMode mode, const std::string& endpoint,
                       const std::string& proxy, TSendProgressReceiver* progress,
                       const TTransferLimits& limits) override;

    // TTrackerNotices
    void TellBugClosed(const std::string& caption, const std::string& text) override;

private:
    const TFaultModuleOptions& options_;
    const TReportPackage& package_;
    const TFaultExceptionRecord& record_;
    FaultDeliveryEvents& events_;
    TDeliveryProgress& progress_;
    TDeliveryNotices& notices_;
    TTransferLimits limits_;
    std::string packedFile_;
    bool bugClosedShown_ = false;
    std::optional<std::pair<std::string, std::string>> bugClosedNotice_; // caption, text
};

} // namespace faulttrap
