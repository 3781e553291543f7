#include "crashreport/web/http_url.h"

#include "crashreport/options/text_case.h"
#include "crashreport/text/strings.h"
#include "crashreport/web/percent_encoding.h"

#include <algorithm>

namespace faulttrap {

namespace {

bool IsNamePart(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '.';
}

bool IsName(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsNamePart);
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The decimal port `digits`, or 0 when it is no port.
std::uint16_t PortOf(std::string_view digits) {
    if (!IsDigits(digits) || digits.size() > 5) {
        return 0;
    }
    const long value = std::stol(std::string(digits));
    return value <= 65535 ? static_cast<std::uint16_t>(value) : 0;
}

// Takes a port written at the very end ("...:8080/") off `text`.
void TakeTrailingPort(std::string& text, THTTPUrl& url) {
    const std::size_t colon = text.rfind(':', text.size() - 1);
    if (colon == std::string::npos) {
        return;
    }
    const std::uint16_t port =
        PortOf(std::string_view(text).substr(colon + 1, text.size() - colon - 2));
    if (port == 0) {
        return;
    }
    url.port = port;
    url.explicitPort = true;
    text.erase(colon, text.size() - 1 - colon);
}

// The credentials are the text before the last "@" ahead of the first "/": a password may hold
// any character but "/" (percent-encoded, it may hold that too).
void TakeCredentials(std::string_view& rest, THTTPUrl& url) {
    const std::size_t at = rest.substr(0, rest.find('/')).rfind('@');
    if (at == std::string_view::npos) {
        return;
    }
    const std::string_view credentials = rest.substr(0, at);
    const std::size_t colon = credentials.find(':');
    url.userName = PercentDecode(credentials.substr(0, colon));
    if (colon != std::string_view::npos) {
        url.password = PercentDecode(credentials.substr(colon + 1));
    }
    rest.remove_prefix(at + 1);
}

void TakeHost(std::string_view& rest, THTTPUrl& url) {
    const std::size_t slash = rest.find('/');
    std::string_view host = rest.substr(0, slash);
    const std::size_t colon = host.find(':');
    if (colon != std::string_view::npos) {
        const std::uint16_t port = PortOf(host.substr(colon + 1));
        if (port == 0 || !IsName(host.substr(0, colon))) {
            return;
        }
        url.port = port;
        url.explicitPort = true;
        host = host.substr(0, colon);
    } else if (!IsName(host)) {
        return;
    }
    url.host = std::string(host);
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash);
}

} // namespace

THTTPUrl ParseHTTPUrl(std::string_view text) {
    THTTPUrl url;
    std::string whole(TrimmedView(text));
    if (whole.empty() || whole.back() != '/') {
        whole += '/';
    }
    TakeTrailingPort(whole, url);

    std::string_view rest = whole;
    const std::size_t schemeEnd = rest.find("://");
    if (schemeEnd != std::string_view::npos && IsName(rest.substr(0, schemeEnd))) {
        url.secure = EqualsIgnoringCase(rest.substr(0, schemeEnd), "https");
        rest.remove_prefix(schemeEnd + 3);
    }
    TakeCredentials(rest, url);
    TakeHost(rest, url);

    rest = rest.substr(0, rest.find('?'));
    while (!rest.empty() && rest.back() == '/') {
        rest.remove_suffix(1);
    }
    url.basePath = std::string(rest);
    if (!url.explicitPort) {
        url.port = url.secure ? DefaultHTTPSPort : DefaultHTTPPort;
    }
    return url;
}

THTTPProxy ParseHTTPProxy(std::string_view text) {
    const THTTPUrl url = ParseHTTPUrl(text);
    THTTPProxy proxy;
    proxy.server = url.host;
    proxy.port = url.explicitPort ? url.port : DefaultProxyPort;
    proxy.userName = url.userName;
    proxy.password = url.password;
    return proxy;
}

std::uint16_t ConfiguredPort(std::int32_t port) {
    return port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
}

} // namespace faulttrap
