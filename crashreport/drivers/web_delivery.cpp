#include "drivers/web_delivery.h"

#include "drivers/desktop_services.h"

#include "crashreport/report/report_items.h"
#include "intercept/runtime_state.h"

namespace faulttrap {

namespace {

constexpr int TextErrorCaption = 2;

TFaultTrapErrorCode ErrorCodeOf(TWebWarningCode code) {
    switch (code) {
    case TWebWarningCode::eeWebHTTPError:
        return TFaultTrapErrorCode::eeWebHTTPError;
    case TWebWarningCode::eeWebHTTPSError:
        return TFaultTrapErrorCode::eeWebHTTPSError;
    case TWebWarningCode::eeWebFTPError:
        return TFaultTrapErrorCode::eeWebFTPError;
    case TWebWarningCode::eeWebTrakerError:
        break;
    }
    return TFaultTrapErrorCode::eeWebTrakerError;
}

} // namespace

bool WebDelivery::Send(const std::vector<std::string>& attachments) {
    std::vector<TWebUploadFile> files;
    for (const std::string& path : attachments)
        files.push_back({path, package_.AttachmentName(path)});
    packedFile_ = attachments.empty() ? std::string() : attachments.front();
    return SendByWeb(options_, files, *this);
}

bool WebDelivery::BeforeWebSend() {
    return events_.ActionNotify(delivery_action::BeforeWeb);
}

void WebDelivery::AfterWebSend() {
    events_.ActionNotify(delivery_action::AfterWeb);
}

bool WebDelivery::RetryWebSend() {
    return events_.ErrorNotify(delivery_error::Web);
}

std::vector<std::string> WebDelivery::CustomWebFields() {
    return events_.CustomWebFields();
}

void WebDelivery::Warn(const TWebWarning& warning) {
    events_.Warning(ErrorCodeOf(warning.code), warning.text);
    progress_.ShowError(options_.CustomizedText(TextErrorCaption), warning.text);
}

TSendProgressReceiver* WebDelivery::OpenSendProgress(bool keepInFront) {
    progress_.Open(keepInFront);
    return progress_.IsUp() ? &progress_ : nullptr;
}

void WebDelivery::CloseSendProgress() {
    progress_.Close();
}

bool WebDelivery::SendToTracker(TFaultWebSendMode mode, const std::string& endpoint,
                                const std::string& proxy, TSendProgressReceiver* progress) {
    const TTrackerReport report = TrackerReportOf(
        options_, ReadItemOf(record_.LogText, "1.3").value_or(""), record_.ExceptionClass,
        CurrentExceptionMessage(), RunTimeState().bugId, packedFile_);
    return TrackerWebStep(mode, endpoint, proxy, progress, report, options_.CustomizedTexts(),
                          *this);
}

void WebDelivery::TellBugClosed(const std::string& caption, const std::string& text) {
    bugClosedShown_ = true;
    ShowDeliveryMessage(caption, text, true,
                        std::chrono::milliseconds(progress_.GuiStartTimeoutMs()));
}

} // namespace faulttrap
