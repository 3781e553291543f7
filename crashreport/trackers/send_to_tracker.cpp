#include "crashreport/trackers/send_to_tracker.h"

#include "crashreport/trackers/bugzilla_send_report.h"
#include "crashreport/trackers/fogbugz_send_report.h"
#include "crashreport/trackers/mantis_send_report.h"

#include "crashreport/web/http_connection.h"
#include "crashreport/web/wininet_messages.h"

namespace faulttrap {

std::unique_ptr<THTTPSendReport> TrackerConversation(TFaultWebSendMode mode,
                                                     THTTPConnectionMaker connect) {
    switch (mode) {
    case TFaultWebSendMode::Bugzilla:
        return std::make_unique<THTTPBugzillaSendReport>(std::move(connect));
    case TFaultWebSendMode::FogBugz:
        return std::make_unique<THTTPFogBugzSendReport>(std::move(connect));
    case TFaultWebSendMode::Mantis:
        return std::make_unique<THTTPMantisSendReport>(std::move(connect));
    case TFaultWebSendMode::None:
    case TFaultWebSendMode::HTTP:
    case TFaultWebSendMode::HTTPS:
    case TFaultWebSendMode::FTP:
        break;
    }
    return nullptr;
}

TTrackerResult SendToTracker(TFaultWebSendMode mode, std::string_view url, std::string_view proxy,
                             const TTrackerReport& report, const TCustomizedTexts& texts,
                             TSendProgressReceiver* progress, const TTransferLimits& limits,
                             std::string* timeOut) {
    const auto conversation =
        TrackerConversation(mode, [&](std::string_view address, std::string_view through) {
            return std::unique_ptr<THTTPConnectionBase>(
                OpenHTTPConnection<THTTPConnection>(address, through, texts, progress, limits));
        });
    if (!conversation) {
        return TTrackerResult::UnknownError;
    }
    THTTPResponse response;
    const TTrackerResult result = conversation->Submit(url, proxy, report, response);
    if (timeOut != nullptr && response.errorCode == wininet_error::Timeout) {
        *timeOut = response.errorText;
    }
    return result;
}

TTrackerReport TrackerReportOf(const TFaultModuleOptions& options, std::string version,
                               std::string className, std::string message, std::string bugId,
                               std::string packedFile) {
    return TTrackerReport{
        std::move(version),       std::move(className),      std::move(message),
        std::move(bugId),         options.TrackerUserID(),   options.TrackerPassword(),
        options.TrackerProject(), options.TrackerCategory(), options.TrackerAssignedTo(),
        options.TrackerExtraID(), std::move(packedFile)};
}

bool TrackerWebStep(TFaultWebSendMode mode, const std::string& endpoint, const std::string& proxy,
                    TSendProgressReceiver* progress, const TTrackerReport& report,
                    const TCustomizedTexts& texts, TTrackerNotices& notices,
                    const TTransferLimits& limits) {
    TTrackerResult result = TTrackerResult::UnknownError;
    std::string timeOut;
    try {
        result = SendToTracker(mode, endpoint, proxy, report, texts, progress, limits, &timeOut);
    } catch (const THTTPConnectionError& error) {
        notices.Warn({TWebWarningCode::eeWebTrakerError, error.what()});
        return false;
    }
    if (result == TTrackerResult::BugClosed && progress != nullptr) {
        notices.TellBugClosed(texts.Text(TextId::InformationCaption),
                              texts.Text(TextId::BugClosed));
    }
    if (!TrackerStepSucceeded(result)) {
        notices.Warn({TWebWarningCode::eeWebTrakerError,
                      texts.Text(TrackerFailureText(result)) +
                          (timeOut.empty() ? std::string() : " (" + timeOut + ")")});
    }
    return TrackerStepSucceeded(result);
}

} // namespace faulttrap
