#pragma once

#include "crashreport/trackers/http_send_report.h"

#include "crashreport/options/customized_texts.h"
#include "crashreport/options/fault_module_options.h"
#include "crashreport/web/send_progress_receiver.h"
#include "crashreport/web/web_warning.h"

#include <memory>
#include <string_view>

namespace faulttrap {

// The conversation of a web send mode (Bugzilla, FogBugz or Mantis); null for any other mode.
std::unique_ptr<THTTPSendReport> TrackerConversation(TFaultWebSendMode mode,
                                                     THTTPConnectionMaker connect);

// Runs the conversation of `mode` over a connection that shows its progress in `progress` (null:
// no window) with `texts`. An unknown mode gives UnknownError. Throws THTTPConnectionError when
// the connection cannot be opened.
// `timeOut`, when given, receives the error text of the last exchange when it failed by a
// time-out (empty otherwise), so that a warning can say the tracker did not answer in time.
TTrackerResult SendToTracker(TFaultWebSendMode mode, std::string_view url, std::string_view proxy,
                             const TTrackerReport& report, const TCustomizedTexts& texts,
                             TSendProgressReceiver* progress, const TTransferLimits& limits = {},
                             std::string* timeOut = nullptr);

// The report values and tracker options of a conversation.
TTrackerReport TrackerReportOf(const TFaultModuleOptions& options, std::string version,
                               std::string className, std::string message, std::string bugId,
                               std::string packedFile);

// What the tracker step tells the user.
class TTrackerNotices {
public:
    virtual ~TTrackerNotices() = default;
    // Records a failure (and shows it while the send progress window is up).
    virtual void Warn(const TWebWarning& warning) = 0;
    // An information box, top-most: the bug of this error is closed.
    virtual void TellBugClosed(const std::string& caption, const std::string& text) = 0;
};

// The web step's tracker method (what TWebStepEvents::SendToTracker does): files `report` by
// the conversation of `mode` with the endpoint and proxy texts of the web step; a failure is
// warned of with the text of its result (a connection that cannot be opened with its own text),
// a closed bug is told to the user while a progress window is shown. True when the step
// succeeded: the bug was filed or updated, or is closed.
bool TrackerWebStep(TFaultWebSendMode mode, const std::string& endpoint, const std::string& proxy,
                    TSendProgressReceiver* progress, const TTrackerReport& report,
                    const TCustomizedTexts& texts, TTrackerNotices& notices,
                    const TTransferLimits& limits = {});

} // namespace faulttrap
