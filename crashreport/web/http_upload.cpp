#include "crashreport/web/http_upload.h"

#include "crashreport/web/basic_authorization.h"
#include "crashreport/web/curl_session.h"
#include "crashreport/web/file_contents.h"
#include "crashreport/web/multipart_body.h"
#include "crashreport/web/upload_progress.h"
#include "crashreport/web/wininet_messages.h"

#include <climits>

namespace faulttrap {

namespace {

constexpr std::size_t UploadPieceSize = 1024;
constexpr int UnreadableStatus = INT_MAX;

std::string UploadAddress(const TFaultModuleOptions& options, bool secure) {
    const THTTPUrl url = ParseHTTPUrl(options.WebURL());
    std::uint16_t port = ConfiguredPort(options.WebPort());
    if (port == 0) {
        port = url.explicitPort ? url.port : (secure ? DefaultHTTPSPort : DefaultHTTPPort);
    }
    return std::string(secure ? "https://" : "http://") + url.host + ':' + std::to_string(port) +
           (url.basePath.empty() ? "/" : url.basePath);
}

// Throws TFileReadError for a packaged file that exists but cannot be read.
std::string UploadBody(const std::vector<THTTPField>& customFields,
                       const std::vector<TWebUploadFile>& files, TMultipartBody& body) {
    for (const THTTPField& field : customFields) {
        body.AddField(field.name, field.value);
    }
    // Numbered without gaps, so that a script reading the parts up to the first missing number
    // gets every file.
    int index = 0;
    for (const TWebUploadFile& file : files) {
        if (const auto content = ReadFileIfPresent(file.path)) {
            body.AddFile("ft_upload_file_" + std::to_string(index++), file.attachmentName,
                         *content);
        }
    }
    return body.Finish();
}

TWebStepOutcome Outcome(int code, std::string errorText, bool secure) {
    TWebStepOutcome outcome;
    outcome.code = code;
    outcome.errorText = std::move(errorText);
    if (code != 0) {
        outcome.warning =
            TWebWarning{secure ? TWebWarningCode::eeWebHTTPSError : TWebWarningCode::eeWebHTTPError,
                        WebErrorText(secure ? "HTTPS" : "HTTP", code, outcome.errorText)};
    }
    return outcome;
}

} // namespace

TWebStepOutcome UploadByHttp(const TFaultModuleOptions& options,
                             const std::vector<THTTPField>& customFields,
                             const std::vector<TWebUploadFile>& files,
                             TSendProgressReceiver* progress, const TTransferLimits& limits) {
    const bool secure = options.WebSendMode() == TFaultWebSendMode::HTTPS;
    if (files.empty()) {
        return {};
    }
    TMultipartBody multipart;
    THTTPExchange exchange;
    try {
        exchange.body = UploadBody(customFields, files, multipart);
    } catch (const TFileReadError& error) {
        return Outcome(wininet_error::InternalError, error.what(), secure);
    }

    TUploadProgress shown(options.CustomizedTexts(), progress);
    shown.Connecting();
    TCurlSession session;
    if (!session.Usable()) {
        return Outcome(wininet_error::LibraryMissing, {}, secure);
    }
    shown.Connected();

    exchange.url = UploadAddress(options, secure);
    exchange.contentType = multipart.ContentType();
    if (!options.WebUserID().empty() || !options.WebPassword().empty()) {
        exchange.authorization = BasicAuthorization(options.WebUserID(), options.WebPassword());
    }
    exchange.post = true;
    exchange.pieceSize = UploadPieceSize;
    exchange.readBody = false;
    const std::size_t total = exchange.body.size();
    exchange.onSent = [&shown, total](std::size_t sent) { shown.Sent(sent, total); };

    THTTPProxy proxy;
    proxy.server = options.ProxyHost();
    proxy.port = options.ProxyPort() == 0 ? DefaultProxyPort : options.ProxyPort();
    proxy.userName = options.ProxyUserID();
    proxy.password = options.ProxyPassword();

    const THTTPReply reply = PerformHTTPExchange(session, exchange, proxy, limits);
    if (reply.error) {
        return Outcome(reply.error.code, reply.error.text, secure);
    }
    if (reply.statusCode == 200) {
        return {};
    }
    if (reply.statusCode == 0) {
        return Outcome(UnreadableStatus, reply.statusText, secure);
    }
    return Outcome(reply.statusCode, reply.statusText, secure);
}

} // namespace faulttrap
