#include "crashreport/web/web_step.h"

#include "crashreport/web/ftp_upload.h"
#include "crashreport/web/http_upload.h"
#include "crashreport/web/tracker_endpoint.h"

namespace faulttrap {

namespace {

std::vector<THTTPField> FieldsOf(const std::vector<std::string>& texts) {
    std::vector<THTTPField> fields;
    for (const std::string& text : texts) {
        const std::size_t equals = text.find('=');
        fields.push_back({text.substr(0, equals),
                          equals == std::string::npos ? std::string() : text.substr(equals + 1)});
    }
    return fields;
}

bool SendOnce(const TFaultModuleOptions& options, const std::vector<TWebUploadFile>& files,
              TWebStepEvents& events, TSendProgressReceiver* progress,
              const TTransferLimits& limits) {
    TWebStepOutcome outcome;
    switch (options.WebSendMode()) {
    case TFaultWebSendMode::None:
        return true;
    case TFaultWebSendMode::HTTP:
    case TFaultWebSendMode::HTTPS:
        outcome =
            UploadByHttp(options, FieldsOf(events.CustomWebFields()), files, progress, limits);
        break;
    case TFaultWebSendMode::FTP:
        outcome = UploadByFtp(options, files, progress, limits);
        break;
    case TFaultWebSendMode::Bugzilla:
    case TFaultWebSendMode::FogBugz:
    case TFaultWebSendMode::Mantis:
        return events.SendToTracker(options.WebSendMode(),
                                    TrackerEndpointText(options.WebURL(), options.WebPort(),
                                                        options.WebUserID(), options.WebPassword()),
                                    TrackerProxyText(options.ProxyHost(), options.ProxyPort(),
                                                     options.ProxyUserID(),
                                                     options.ProxyPassword()),
                                    progress, limits);
    }
    if (outcome.warning) {
        events.Warn(*outcome.warning);
    }
    return outcome.Succeeded();
}

} // namespace

bool SendByWeb(const TFaultModuleOptions& options, const std::vector<TWebUploadFile>& files,
               TWebStepEvents& events, const TTransferLimits& limits) {
    if (!events.BeforeWebSend()) {
        return false;
    }
    const bool keepInFront = (options.SendOptions() & send_options::SendInThread) == 0;
    bool sent = false;
    TTransferLimits routeLimits = limits;
    routeLimits.deadline = std::chrono::steady_clock::now() + limits.overallTimeout;
    do {
        TSendProgressReceiver* progress = events.OpenSendProgress(keepInFront);
        sent = SendOnce(options, files, events, progress, routeLimits);
        events.CloseSendProgress();
    } while (!sent && events.RetryWebSend());
    events.AfterWebSend();
    return sent;
}

} // namespace faulttrap
