#pragma once

#include "crashreport/web/send_progress_receiver.h"
#include "crashreport/web/transfer_limits.h"
#include "crashreport/web/upload_file.h"
#include "crashreport/web/web_warning.h"

#include "crashreport/options/fault_module_options.h"

#include <string>
#include <vector>

namespace faulttrap {

// What the web step needs from the rest of the exception processing: its events, its warning
// facility, the send progress window and the tracker conversations.
class TWebStepEvents {
public:
    virtual ~TWebStepEvents() = default;
    // Before web sending; false cancels the step.
    virtual bool BeforeWebSend() = 0;
    // After web sending, whatever the outcome.
    virtual void AfterWebSend() = 0;
    // Web sending failed; true sends again.
    virtual bool RetryWebSend() = 0;
    // Fields to send with an HTTP upload, each "name=value".
    virtual std::vector<std::string> CustomWebFields() = 0;
    // Records a failure (and shows it while the send progress window is up).
    virtual void Warn(const TWebWarning& warning) = 0;
    // Opens the send progress window for one attempt; null when none is shown.
    virtual TSendProgressReceiver* OpenSendProgress(bool keepInFront) = 0;
    virtual void CloseSendProgress() = 0;
    // Files the report with the tracker of `mode` over a connection to `endpoint` through
    // `proxy` (see TrackerEndpointText); tells its own failures; true on success.
    virtual bool SendToTracker(TFaultWebSendMode mode, const std::string& endpoint,
                               const std::string& proxy, TSendProgressReceiver* progress,
                               const TTransferLimits& limits) = 0;
};

// The web step of a delivery: sends the packaged `files` by the method of `WebSendMode`, again
// as long as a failure is answered with a retry, and tells the outcome. All attempts together end
// within `limits.overallTimeout`.
bool SendByWeb(const TFaultModuleOptions& options, const std::vector<TWebUploadFile>& files,
               TWebStepEvents& events, const TTransferLimits& limits = {});

} // namespace faulttrap
