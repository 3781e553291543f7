#include "crashreport/delivery/web_delivery.h"

#include "crashreport/intercept/runtime_state.h"
#include "crashreport/report/report_items.h"

#include <filesystem>

namespace faulttrap {

namespace {

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
    std::error_code error;
    for (const std::string& path : attachments) {
        if (std::filesystem::is_regular_file(path, error)) {
            files.push_back({path, package_.AttachmentName(path)});
        }
    }
    packedFile_ = files.empty() ? std::string() : files.front().path;
    const TFaultWebSendMode mode = options_.WebSendMode();
    const bool upload = mode == TFaultWebSendMode::HTTP || mode == TFaultWebSendMode::HTTPS ||
                        mode == TFaultWebSendMode::FTP;
    if (upload && files.empty()) {
        // An upload of nothing would only tell the server that something went wrong here.
        events_.Warning(RouteWarningCode(options_, false),
                        "Nothing to upload: no report file was packaged.");
        return true;
    }
    return SendByWeb(options_, files, *this, limits_);
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
    progress_.ShowError(options_.CustomizedText(TextId::ErrorCaption), warning.text);
}

TSendProgressReceiver* WebDelivery::OpenSendProgress(bool keepInFront) {
    progress_.Open(keepInFront);
    return progress_.IsUp() ? &progress_ : nullptr;
}

void WebDelivery::CloseSendProgress() {
    progress_.Close();
    // The closed-bug notice comes once the send window is gone.
    if (bugClosedNotice_) {
        notices_.ShowNotice(bugClosedNotice_->first, bugClosedNotice_->second);
        bugClosedNotice_.reset();
    }
}

bool WebDelivery::SendToTracker(TFaultWebSendMode mode, const std::string& endpoint,
                                const std::string& proxy, TSendProgressReceiver* progress,
                                const TTransferLimits& limits) {
    const TTrackerReport report = TrackerReportOf(
        options_, ReadItemOf(record_.LogText, "1.3").value_or(""), record_.ExceptionClass,
        CurrentExceptionMessage(), RunTimeState().bugId, packedFile_);
    return TrackerWebStep(mode, endpoint, proxy, progress, report, options_.CustomizedTexts(),
                          *this, limits);
}

void WebDelivery::TellBugClosed(const std::string& caption, const std::string& text) {
    bugClosedShown_ = true;
    bugClosedNotice_.emplace(caption, text);
}

} // namespace faulttrap
