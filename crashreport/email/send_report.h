#pragma once

#include "crashreport/email/send_by_email.h"

#include "crashreport/options/option_types.h"
#include "crashreport/packaging/report_package.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace faulttrap {

class TDeliveryEvents;
class TFaultModuleOptions;
class TSendProgress;

// The web step of a delivery (uploads and bug trackers), plugged in by the web delivery.
class TWebDelivery {
public:
    virtual ~TWebDelivery() = default;
    // Sends the packed files by the method of `WebSendMode`, with its own events and retries.
    virtual bool Send(const std::vector<std::string>& attachments) = 0;
    // Whether the tracker told the user that the bug is closed (no result message then).
    virtual bool BugClosedMessageShown() const { return false; }
};

// The desktop services a delivery uses at its end; the dialogs supply them.
class TDeliveryDesktop {
public:
    virtual ~TDeliveryDesktop() = default;
    virtual void CopyToClipboard(const std::string& text) = 0;
    // The task-modal, top-most result message: information icon on success, error icon else.
    virtual void ShowResult(const std::string& caption, const std::string& text, bool success) = 0;
};

// Everything one delivery run works with. The referenced objects belong to the exception
// processing, which keeps them until the run has ended (also on the send thread).
struct TDeliveryRun {
    const TFaultModuleOptions& options;
    TReportPackage package;
    std::string reportText;
    std::string lastHtmlPage;
    TXmlCopyWriter writeXmlCopy;
    TDeliveryEvents& events;
    TSendProgress& progress;
    TDeliveryDesktop& desktop;
    TWebDelivery* web = nullptr; // none: a configured web method fails
    TEmailEnvironment email;
    // Why the package folder could not be made; the delivery then fails with this warning.
    std::string packageError;
};

// The warning code of a route's own failures (packing, time-outs): by the e-mail method, or
// by the web method.
TFaultTrapErrorCode RouteWarningCode(const TFaultModuleOptions& options, bool email);

// One delivery: writes and packs the report files, sends by e-mail and to the web as
// configured, copies the report and keeps the archive after a failure, tells the result, and
// removes the temporary files and the screenshot. Returns whether every configured method
// succeeded.
bool SendReport(const TDeliveryRun& run);

// The background delivery: SendReport on a thread of its own that holds `globalLock` for the
// whole run and calls `afterSend` (the post-send checks of the exception processing) before
// letting go of it. The thread owns `run` and frees it when done.
class TSendThread {
public:
    static void Start(std::shared_ptr<TDeliveryRun> run, std::mutex& globalLock,
                      std::function<void(bool sent)> afterSend);
};

} // namespace faulttrap
