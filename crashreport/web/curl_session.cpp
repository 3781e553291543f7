#include "crashreport/web/curl_session.h"

#include "crashreport/web/http_response.h"

#include "crashreport/web/wininet_messages.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace faulttrap {

namespace {

struct TCurlList {
    curl_slist* items = nullptr;
    ~TCurlList() { curl_slist_free_all(items); }
    void Add(const std::string& line) { items = curl_slist_append(items, line.c_str()); }
};

// What the callbacks of one exchange share.
struct TExchangeState {
    const THTTPExchange& exchange;
    const TTransferLimits& limits;
    THTTPReply& reply;
    CURL* handle;
    std::size_t sent = 0;
    bool bodyRefused = false; // the body was not wanted: the transfer ended on purpose
    bool bodyTooLarge = false;
    bool headersTooLarge = false;
    std::size_t headerBytes = 0;
};

std::atomic<bool> abandoned{false};

int StopWhenAbandoned(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return abandoned ? 1 : 0;
}

// Headers beyond this end the exchange: no page needs more, and what a server sends here ends
// up in warnings.
constexpr std::size_t MaxHeaderBytes = 64 * 1024;
// Of the status text a warning shows this much.
constexpr std::size_t MaxStatusText = 200;

std::size_t ReadBody(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto& state = *static_cast<TExchangeState*>(data);
    const std::string& body = state.exchange.body;
    const std::size_t piece =
        std::min({size * count, state.exchange.pieceSize, body.size() - state.sent});
    std::copy_n(body.data() + state.sent, piece, buffer);
    state.sent += piece;
    if (piece > 0 && state.exchange.onSent) {
        state.exchange.onSent(state.sent);
    }
    return piece;
}

// Every status line starts a new header block: an interim "100 Continue" or a proxy's answer
// must not be taken for the server's.
std::size_t ReadHeader(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto& state = *static_cast<TExchangeState*>(data);
    const std::string_view line(buffer, size * count);
    state.headerBytes += line.size();
    if (state.headerBytes > MaxHeaderBytes) {
        state.headersTooLarge = true;
        return 0;
    }
    if (line.starts_with("HTTP/")) {
        state.reply.headers.clear();
        ParseStatusLine(line, state.reply.statusCode, state.reply.statusText);
        if (state.reply.statusText.size() > MaxStatusText) {
            state.reply.statusText = state.reply.statusText.substr(0, MaxStatusText) + "...";
        }
    } else {
        state.reply.headers.append(line);
    }
    return size * count;
}

std::size_t WriteBody(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto& state = *static_cast<TExchangeState*>(data);
    const std::size_t length = size * count;
    if (!state.exchange.readBody) {
        state.bodyRefused = true;
        return 0;
    }
    if (state.reply.body.size() + length > state.limits.maxResponseBytes) {
        state.bodyTooLarge = true;
        return 0;
    }
    curl_off_t announced = -1;
    curl_easy_getinfo(state.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    for (std::size_t done = 0; done < length;) {
        const std::size_t piece = std::min(length - done, state.exchange.pieceSize);
        state.reply.body.append(buffer + done, piece);
        done += piece;
        if (state.exchange.onReceived) {
            state.exchange.onReceived(state.reply.body.size(),
                                      announced > 0 ? static_cast<std::size_t>(announced) : 0);
        }
    }
    return length;
}

std::string HostOf(const std::string& url) {
    CURLU* parts = curl_url();
    std::string host;
    char* text = nullptr;
    if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parts, CURLUPART_HOST, &text, 0) == CURLUE_OK) {
        host = text;
        curl_free(text);
    }
    curl_url_cleanup(parts);
    return host;
}

// Hosts of the local network, written without a dot, bypass the proxy.
bool BypassesProxy(const std::string& host) {
    return host.find('.') == std::string::npos && host.find(':') == std::string::npos;
}

} // namespace

bool CurlAvailable() {
    static std::once_flag once;
    static bool available = false;
    std::call_once(once, [] { available = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return available;
}

TCurlSession::TCurlSession() {
    if (CurlAvailable()) {
        handle_ = curl_easy_init();
    }
}

TCurlSession::~TCurlSession() {
    if (handle_ != nullptr) {
        curl_easy_cleanup(handle_);
    }
}

void AbandonTransfers() {
    abandoned = true;
}

void SetCommonOptions(CURL* handle, const std::string& host, const THTTPProxy& proxy,
                      const TTransferLimits& limits) {
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "FaultTrap");
    // The route's deadline shortens every wait of its last exchanges.
    std::chrono::milliseconds total = limits.totalTimeout;
    if (limits.deadline != std::chrono::steady_clock::time_point::max()) {
        total = std::min(total, std::max(std::chrono::milliseconds(1),
                                         std::chrono::duration_cast<std::chrono::milliseconds>(
                                             limits.deadline - std::chrono::steady_clock::now())));
    }
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::min(limits.connectTimeout, total).count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(total.count()));
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, StopWhenAbandoned);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                     std::max(1L, static_cast<long>((limits.stallTimeout.count() + 999) / 1000)));
    if (!limits.certificateAuthorityFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, limits.certificateAuthorityFile.c_str());
    }
    if (proxy.UseProxy() && !BypassesProxy(host)) {
        const std::string address = proxy.server + ':' + std::to_string(proxy.port);
        curl_easy_setopt(handle, CURLOPT_PROXY, address.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, proxy.userName.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, proxy.password.c_str());
        curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    } else if (proxy.UseProxy()) {
        curl_easy_setopt(handle, CURLOPT_PROXY, "");
    }
}

THTTPReply PerformHTTPExchange(TCurlSession& session, const THTTPExchange& exchange,
                               const THTTPProxy& proxy, const TTransferLimits& limits) {
    THTTPReply reply;
    if (!session.Usable()) {
        reply.error.code = wininet_error::LibraryMissing;
        reply.error.text = std::string("Cannot find the \"") + CurlLibraryName + "\" library.";
        return reply;
    }
    CURL* handle = session.Handle();
    // A reset keeps the session's connections and cookies.
    curl_easy_reset(handle);
    SetCommonOptions(handle, HostOf(exchange.url), proxy, limits);

    TExchangeState state{exchange, limits, reply, handle};
    char message[CURL_ERROR_SIZE] = {};
    TCurlList headers;
    if (!exchange.contentType.empty()) {
        headers.Add("Content-Type: " + exchange.contentType);
    }
    if (!exchange.authorization.empty()) {
        headers.Add("Authorization: " + exchange.authorization);
    }
    headers.Add("Expect:");

    curl_easy_setopt(handle, CURLOPT_URL, exchange.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.items);
    if (exchange.keepCookies) {
        curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");
    }
    if (exchange.post) {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(exchange.body.size()));
        curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadBody);
        curl_easy_setopt(handle, CURLOPT_READDATA, &state);
    } else {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &state);

    const CURLcode result = curl_easy_perform(handle);
    if (result == CURLE_WRITE_ERROR && state.bodyRefused) {
        return reply;
    }
    // libcurl refuses a header line beyond its own limit as if memory had run out.
    if (state.headersTooLarge || result == CURLE_OUT_OF_MEMORY) {
        reply.error.code = wininet_error::InvalidServerResponse;
        reply.error.text = "The server's reply is too long: its headers pass " +
                           std::to_string(MaxHeaderBytes) + " bytes.";
        return reply;
    }
    if (state.bodyTooLarge) {
        reply.error.code = wininet_error::InvalidServerResponse;
        reply.error.text = "The server response is larger than " +
                           std::to_string(limits.maxResponseBytes) + " bytes.";
        return reply;
    }
    long certificateCheck = 0;
    curl_easy_getinfo(handle, CURLINFO_SSL_VERIFYRESULT, &certificateCheck);
    reply.error = TransferErrorOf(result, certificateCheck, {}, message);
    return reply;
}

} // namespace faulttrap
