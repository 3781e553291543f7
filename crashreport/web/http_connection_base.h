#pragma once

#include "crashreport/web/curl_session.h"
#include "crashreport/web/http_request.h"
#include "crashreport/web/http_response.h"
#include "crashreport/web/http_url.h"
#include "crashreport/web/transfer_limits.h"

#include "crashreport/text/faulttrap_error.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace faulttrap {

// What a connection is doing, as its Status operation is told.
enum class THTTPStatus : int {
    Connecting = 0,
    Connected = 1,
    Login = 2,
    SelectProject = 3,
    Searching = 4,
    Modifying = 5,
    Sending = 6, // with the percentage done
    Sent = 7,
    Disconnecting = 8,
    Disconnected = 9,
};

// A connection that cannot be opened.
class THTTPConnectionError : public Error {
public:
    explicit THTTPConnectionError(const std::string& message) : Error(message) {}
};

// One browser-like session with one web server: cookies are kept between its requests,
// redirects are followed by the connection itself (302 and refresh headers at once, 301 and 303
// as the next request), and every answer is kept as the last response for the form readers.
class THTTPConnectionBase {
public:
    // Parses `url` and `proxy` (see ParseHTTPUrl and ParseHTTPProxy). Use OpenHTTPConnection to
    // create an opened one.
    THTTPConnectionBase(std::string_view url, std::string_view proxy, TTransferLimits limits = {});
    THTTPConnectionBase(const THTTPConnectionBase&) = delete;
    THTTPConnectionBase& operator=(const THTTPConnectionBase&) = delete;
    virtual ~THTTPConnectionBase();

    // Statuses Connecting and Connected. Throws THTTPConnectionError when the session cannot be
    // set up. Without a usable client library it sets up nothing and every exchange fails.
    virtual void Open();
    // Statuses Disconnecting and Disconnected, when open.
    virtual void Close();
    bool IsOpen() const { return session_ != nullptr; }

    // Starts a request for `page` below the base path, dropping the fields and files of the last.
    void SetRequest(std::string_view page, THTTPMethod method);
    void AddField(std::string name, std::string value);
    // A file part of a multipart request.
    void AddFile(std::string fieldName, std::string path);

    // Sends the request and reads the answer into `response` and into LastResponse; false when
    // the exchange failed (the error code and text tell why). With `showProgress` the Sending
    // and Sent statuses tell how far it got.
    bool ExecuteRequest(THTTPResponse& response, bool showProgress);

    // Whether the last response came from `page` (ignoring case; empty: any page), its body
    // contains `text` (ignoring case; empty: no condition) and does not contain `absent`.
    bool Check(std::string_view page, std::string_view text = {},
               std::string_view absent = {}) const;

    const THTTPResponse& LastResponse() const { return lastResponse_; }
    const THTTPRequest& Request() const { return request_; }
    const THTTPUrl& Url() const { return url_; }
    const THTTPProxy& Proxy() const { return proxy_; }

    // Told of every step, by the exchanges and by the conversation that drives the connection
    // (a tracker's log-in, project, search and update steps); does nothing here.
    virtual void Status(THTTPStatus code, int value);

private:
    std::string AddressOf(const std::string& target) const;
    bool OnOwnServer(const std::string& target) const;
    // Ends a failed exchange.
    bool Fail(THTTPResponse& response, int code, std::string text);

    std::string urlText_;
    THTTPUrl url_;
    THTTPProxy proxy_;
    TTransferLimits limits_;
    std::unique_ptr<TCurlSession> session_;
    THTTPRequest request_;
    THTTPResponse lastResponse_;
};

// Creates a connection of class `Connection` and opens it, as a tracker conversation wants it.
template <class Connection, class... Arguments>
std::unique_ptr<Connection> OpenHTTPConnection(Arguments&&... arguments) {
    auto connection = std::make_unique<Connection>(std::forward<Arguments>(arguments)...);
    connection->Open();
    return connection;
}

} // namespace faulttrap
