#pragma once

#include "crashreport/web/curl_errors.h"
#include "crashreport/web/http_url.h"
#include "crashreport/web/transfer_limits.h"

#include <curl/curl.h>

#include <cstddef>
#include <functional>
#include <string>

namespace faulttrap {

// Whether libcurl could be started (once per process); without it every exchange fails with
// wininet_error::LibraryMissing.
bool CurlAvailable();

// The name under which a failure reports a client library that cannot be used.
inline constexpr const char* CurlLibraryName = "libcurl.so.4";

// One libcurl handle: one session, keeping its connections and, when asked, its cookies.
class TCurlSession {
public:
    TCurlSession();
    TCurlSession(const TCurlSession&) = delete;
    TCurlSession& operator=(const TCurlSession&) = delete;
    ~TCurlSession();

    bool Usable() const { return handle_ != nullptr; }
    CURL* Handle() const { return handle_; }

private:
    CURL* handle_ = nullptr;
};

// One HTTP request as it goes on the wire.
struct THTTPExchange {
    std::string url;
    std::string contentType;   // empty: no content type header
    std::string authorization; // empty: no authorization header
    bool post = false;
    std::string body;
    std::size_t pieceSize = 4096; // the body is handed over in pieces of this size
    bool keepCookies = false;
    // false: the answer ends after its headers; its body is not wanted.
    bool readBody = true;
    // After each piece of the body: the bytes handed over so far.
    std::function<void(std::size_t sent)> onSent;
    // After each piece of the answer's body (of at most `pieceSize`): bytes received so far and
    // the announced length (0 when the server announced none).
    std::function<void(std::size_t received, std::size_t announced)> onReceived;
};

struct THTTPReply {
    int statusCode = 0; // 0: the server sent no status line
    std::string statusText;
    std::string headers;
    std::string body;
    TTransferError error;
};

// Sends `exchange` on `session` through `proxy` (none when it has no server; hosts without a
// dot, like "localhost", never go through it) within `limits`.
THTTPReply PerformHTTPExchange(TCurlSession& session, const THTTPExchange& exchange,
                               const THTTPProxy& proxy, const TTransferLimits& limits);

// From now on every exchange and upload ends at once as cancelled: the program is ending and its
// deliveries are abandoned.
void AbandonTransfers();

// Sets the options that every exchange shares: agent, proxy, time limits, certificate
// authorities, no signals. `host` decides whether the proxy is bypassed.
void SetCommonOptions(CURL* handle, const std::string& host, const THTTPProxy& proxy,
                      const TTransferLimits& limits);

} // namespace faulttrap
