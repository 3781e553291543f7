#include "crashreport/web/http_connection_base.h"

#include "crashreport/options/text_case.h"
#include "crashreport/web/basic_authorization.h"
#include "crashreport/web/file_contents.h"
#include "crashreport/web/multipart_body.h"
#include "crashreport/web/redirect_target.h"
#include "crashreport/web/wininet_messages.h"

#include <algorithm>
#include <cmath>

namespace faulttrap {

namespace {

// The path of a request target: the target itself, or what follows the host of an address.
std::string PathOf(const std::string& target) {
    if (!IsAbsoluteAddress(target)) {
        return target;
    }
    const std::size_t slash = target.find('/', target.find("://") + 3);
    return slash == std::string::npos ? std::string() : target.substr(slash);
}

int RoundedPercent(double value) {
    return std::min(100, static_cast<int>(std::lround(value)));
}

} // namespace

THTTPConnectionBase::THTTPConnectionBase(std::string_view url, std::string_view proxy,
                                         TTransferLimits limits)
    : urlText_(url), url_(ParseHTTPUrl(url)), proxy_(ParseHTTPProxy(proxy)),
      limits_(std::move(limits)) {}

THTTPConnectionBase::~THTTPConnectionBase() {
    Close();
}

void THTTPConnectionBase::Open() {
    if (IsOpen() || !CurlAvailable()) {
        return;
    }
    Status(THTTPStatus::Connecting, 0);
    auto session = std::make_unique<TCurlSession>();
    if (!session->Usable() || url_.host.empty()) {
        throw THTTPConnectionError("Cannot create an HTTP connection with the host: " +
                                   (url_.host.empty() ? urlText_ : url_.host));
    }
    session_ = std::move(session);
    Status(THTTPStatus::Connected, 0);
}

void THTTPConnectionBase::Close() {
    if (!IsOpen()) {
        return;
    }
    Status(THTTPStatus::Disconnecting, 0);
    session_.reset();
    Status(THTTPStatus::Disconnected, 0);
}

void THTTPConnectionBase::Status(THTTPStatus, int) {}

void THTTPConnectionBase::SetRequest(std::string_view page, THTTPMethod method) {
    request_ = THTTPRequest{url_.basePath + '/' + std::string(page), method, {}, {}};
}

void THTTPConnectionBase::AddField(std::string name, std::string value) {
    request_.fields.push_back({std::move(name), std::move(value)});
}

void THTTPConnectionBase::AddFile(std::string fieldName, std::string path) {
    request_.files.push_back({std::move(fieldName), std::move(path)});
}

std::string THTTPConnectionBase::AddressOf(const std::string& target) const {
    if (IsAbsoluteAddress(target)) {
        return target;
    }
    return std::string(url_.secure ? "https://" : "http://") + url_.host + ':' +
           std::to_string(url_.port) + (target.starts_with('/') ? "" : "/") + target;
}

// The credentials of the address go to its own server only, never to one a redirect names.
bool THTTPConnectionBase::OnOwnServer(const std::string& target) const {
    if (!IsAbsoluteAddress(target)) {
        return true;
    }
    const std::string origin = AddressOf("/");
    return FindIgnoringCase(target, std::string_view(origin).substr(0, origin.size() - 1)) == 0 &&
           (target.size() == origin.size() - 1 || target[origin.size() - 1] == '/' ||
            target[origin.size() - 1] == '?');
}

bool THTTPConnectionBase::Fail(THTTPResponse& response, int code, std::string text) {
    THTTPResponse failed;
    failed.errorCode = code;
    failed.errorText = std::move(text);
    response = failed;
    lastResponse_ = std::move(failed);
    return false;
}

bool THTTPConnectionBase::ExecuteRequest(THTTPResponse& response, bool showProgress) {
    if (!CurlAvailable()) {
        return Fail(response, wininet_error::LibraryMissing,
                    std::string("Cannot find the \"") + CurlLibraryName + "\" library.");
    }
    if (!IsOpen()) {
        return Fail(response, wininet_error::InternalError, "The connection is not open.");
    }
    THTTPReply reply;
    std::string target;
    for (int redirects = 0;; ++redirects) {
        THTTPRequestContent content;
        try {
            content = BuildRequestContent(request_, RandomMultipartBoundary());
        } catch (const TFileReadError& error) {
            return Fail(response, wininet_error::InternalError, error.what());
        }
        target = content.target;
        THTTPExchange exchange;
        exchange.url = AddressOf(target);
        exchange.contentType = content.contentType;
        exchange.post = request_.method != THTTPMethod::Get;
        exchange.body = std::move(content.body);
        exchange.keepCookies = true;
        if (OnOwnServer(target) && (!url_.userName.empty() || !url_.password.empty())) {
            exchange.authorization = BasicAuthorization(url_.userName, url_.password);
        }
        if (showProgress) {
            const std::size_t total = exchange.body.size();
            if (total == 0) {
                Status(THTTPStatus::Sending, 100);
            }
            exchange.onSent = [this, total](std::size_t sent) {
                Status(THTTPStatus::Sending, RoundedPercent(100.0 * sent / total));
                if (sent == total) {
                    Status(THTTPStatus::Sending, 100);
                }
            };
            exchange.onReceived = [this](std::size_t received, std::size_t announced) {
                const double length = announced == 0 ? 1.0 : static_cast<double>(announced);
                Status(THTTPStatus::Sending, RoundedPercent(95.0 + 5.0 * received / length));
            };
        }
        reply = PerformHTTPExchange(*session_, exchange, proxy_, limits_);
        if (reply.error) {
            return Fail(response, reply.error.code, reply.error.text);
        }

        const std::string location = HeaderValue(reply.headers, "Location");
        std::string next;
        if (reply.statusCode == 302) {
            next = location;
        } else if (reply.statusCode == 200) {
            next = RefreshTarget(HeaderValue(reply.headers, "Refresh"));
        }
        if (!next.empty()) {
            if (redirects >= limits_.maxRedirects) {
                return Fail(response, wininet_error::RedirectFailed,
                            "The redirection failed because all " +
                                std::to_string(limits_.maxRedirects) +
                                " attempts made to redirect failed.");
            }
            request_ = THTTPRequest{RedirectTarget(target, next), THTTPMethod::Get, {}, {}};
            continue;
        }
        if ((reply.statusCode == 301 || reply.statusCode == 303) && !location.empty()) {
            request_ = THTTPRequest{RedirectTarget(target, location), THTTPMethod::Get, {}, {}};
        }
        break;
    }

    THTTPResponse result;
    result.statusCode = reply.statusCode;
    result.statusText = std::move(reply.statusText);
    result.headers = std::move(reply.headers);
    result.body = std::move(reply.body);
    BlankControlBytes(result.body);
    result.page = PageNameOf(PathOf(target));
    if (showProgress) {
        Status(THTTPStatus::Sent, 0);
    }
    response = result;
    lastResponse_ = std::move(result);
    return true;
}

bool THTTPConnectionBase::Check(std::string_view page, std::string_view text,
                                std::string_view absent) const {
    const THTTPResponse& last = lastResponse_;
    if (!page.empty() && !EqualsIgnoringCase(last.page, page)) {
        return false;
    }
    if (!text.empty() && FindIgnoringCase(last.body, text) == std::string::npos) {
        return false;
    }
    return absent.empty() || FindIgnoringCase(last.body, absent) == std::string::npos;
}

} // namespace faulttrap
