#include "crashreport/web/ftp_upload.h"

#include "crashreport/web/curl_session.h"
#include "crashreport/web/file_contents.h"
#include "crashreport/web/http_url.h"
#include "crashreport/web/upload_progress.h"
#include "crashreport/web/wininet_messages.h"

#include <algorithm>
#include <filesystem>

namespace faulttrap {

namespace {

constexpr std::size_t UploadPieceSize = 1024;

// What the callbacks of one FTP command sequence share.
struct TFtpState {
    std::string lastRefusal; // the last reply of the server that refused something
    const std::string* content = nullptr;
    std::size_t sent = 0;
    std::size_t sentBefore = 0; // bytes of the files already put
    std::size_t total = 0;
    TUploadProgress* shown = nullptr;
};

// The server's replies: a refusal (4xx or 5xx) is what a failure reports.
std::size_t ReadReply(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto& state = *static_cast<TFtpState*>(data);
    std::string_view line(buffer, size * count);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    if (!line.empty() && (line.front() == '4' || line.front() == '5')) {
        state.lastRefusal = std::string(line);
    }
    return size * count;
}

std::size_t ReadContent(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto& state = *static_cast<TFtpState*>(data);
    const std::size_t piece =
        std::min({size * count, UploadPieceSize, state.content->size() - state.sent});
    std::copy_n(state.content->data() + state.sent, piece, buffer);
    state.sent += piece;
    if (piece > 0) {
        state.shown->Sent(std::min(state.sentBefore + state.sent, state.total), state.total);
    }
    return piece;
}

std::string EscapedPath(CURL* handle, const std::string& path) {
    std::string escaped = path.starts_with('/') ? "%2F" : "";
    std::size_t start = path.starts_with('/') ? 1 : 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        char* segment =
            curl_easy_escape(handle, path.data() + start, static_cast<int>(slash - start));
        escaped += segment;
        curl_free(segment);
        if (slash < path.size()) {
            escaped += '/';
        }
        start = slash + 1;
    }
    return escaped;
}

class TFtpUpload {
public:
    TFtpUpload(const TFaultModuleOptions& options, const TTransferLimits& limits,
               TUploadProgress& shown)
        : options_(options), limits_(limits), url_(ParseHTTPUrl(options.WebURL())) {
        state_.shown = &shown;
        std::uint16_t port = ConfiguredPort(options.WebPort());
        if (port == 0) {
            port = url_.explicitPort ? url_.port : DefaultFTPPort;
        }
        server_ = "ftp://" + url_.host + ':' + std::to_string(port) + '/';
        proxy_.server = options.ProxyHost();
        proxy_.port = options.ProxyPort() == 0 ? DefaultProxyPort : options.ProxyPort();
        proxy_.userName = options.ProxyUserID();
        proxy_.password = options.ProxyPassword();
    }

    bool Usable() const { return session_.Usable(); }
    void SetTotal(std::size_t total) { state_.total = total; }

    // Connects and logs in; the connection stays for the files.
    TTransferError LogIn() {
        Prepare(server_);
        curl_easy_setopt(session_.Handle(), CURLOPT_NOBODY, 1L);
        return Perform();
    }

    TTransferError Put(const std::string& remotePath, const std::string& content) {
        Prepare(server_ + EscapedPath(session_.Handle(), remotePath));
        CURL* handle = session_.Handle();
        state_.content = &content;
        state_.sent = 0;
        curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(content.size()));
        curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadContent);
        curl_easy_setopt(handle, CURLOPT_READDATA, &state_);
        TTransferError error = Perform();
        state_.sentBefore += content.size();
        return error;
    }

    // The URL's path with a "/" added when it has none at its end, then `name`.
    std::string RemotePath(const std::string& name) const {
        const std::string& folder = url_.basePath;
        return folder.empty() || folder.ends_with('/') ? folder + name : folder + '/' + name;
    }

private:
    void Prepare(const std::string& address) {
        CURL* handle = session_.Handle();
        curl_easy_reset(handle);
        SetCommonOptions(handle, url_.host, proxy_, limits_);
        if (proxy_.UseProxy()) {
            curl_easy_setopt(handle, CURLOPT_HTTPPROXYTUNNEL, 1L);
        }
        curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(handle, CURLOPT_FTP_USE_EPSV, 0L);
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message_);
        curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, ReadReply);
        curl_easy_setopt(handle, CURLOPT_HEADERDATA, &state_);
        if (!options_.WebUserID().empty() || !options_.WebPassword().empty()) {
            curl_easy_setopt(handle, CURLOPT_USERNAME, options_.WebUserID().c_str());
            curl_easy_setopt(handle, CURLOPT_PASSWORD, options_.WebPassword().c_str());
        }
        message_[0] = '\0';
        state_.lastRefusal.clear();
    }

    TTransferError Perform() {
        const CURLcode result = curl_easy_perform(session_.Handle());
        return TransferErrorOf(result, 0, state_.lastRefusal, message_);
    }

    const TFaultModuleOptions& options_;
    const TTransferLimits& limits_;
    THTTPUrl url_;
    std::string server_;
    THTTPProxy proxy_;
    TCurlSession session_;
    TFtpState state_;
    char message_[CURL_ERROR_SIZE] = {};
};

TWebStepOutcome Outcome(int code, std::string errorText) {
    TWebStepOutcome outcome;
    outcome.code = code;
    outcome.errorText = std::move(errorText);
    if (code != 0) {
        outcome.warning = TWebWarning{TWebWarningCode::eeWebFTPError,
                                      WebErrorText("FTP", code, outcome.errorText)};
    }
    return outcome;
}

} // namespace

TWebStepOutcome UploadByFtp(const TFaultModuleOptions& options,
                            const std::vector<TWebUploadFile>& files,
                            TSendProgressReceiver* progress, const TTransferLimits& limits) {
    if (files.empty()) {
        return {};
    }
    std::size_t total = 0;
    for (const TWebUploadFile& file : files) {
        std::error_code error;
        if (std::filesystem::is_regular_file(file.path, error)) {
            total += static_cast<std::size_t>(std::filesystem::file_size(file.path, error));
        }
    }
    TUploadProgress shown(options.CustomizedTexts(), progress);
    shown.Connecting();
    TFtpUpload upload(options, limits, shown);
    if (!upload.Usable()) {
        return Outcome(wininet_error::LibraryMissing, {});
    }
    upload.SetTotal(total);
    if (const TTransferError error = upload.LogIn()) {
        return Outcome(error.code, error.text);
    }
    shown.Connected();
    for (const TWebUploadFile& file : files) {
        std::optional<std::string> content;
        try {
            content = ReadFileIfPresent(file.path);
        } catch (const TFileReadError& error) {
            return Outcome(wininet_error::InternalError, error.what());
        }
        if (!content) {
            continue;
        }
        if (const TTransferError error =
                upload.Put(upload.RemotePath(file.attachmentName), *content)) {
            return Outcome(error.code, error.text);
        }
    }
    return {};
}

} // namespace faulttrap
