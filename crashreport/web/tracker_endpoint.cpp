#include "crashreport/web/tracker_endpoint.h"

#include "crashreport/web/http_url.h"
#include "crashreport/web/percent_encoding.h"

namespace faulttrap {

namespace {

std::string WithPortAndCredentials(std::string text, std::uint16_t port,
                                   const std::string& userName, const std::string& password) {
    if (port != 0) {
        while (!text.empty() && text.back() == '/') {
            text.pop_back();
        }
        text += ':' + std::to_string(port);
    }
    if (!userName.empty() || !password.empty()) {
        const std::size_t schemeEnd = text.find("://");
        const std::size_t at = schemeEnd == std::string::npos ? 0 : schemeEnd + 3;
        text.insert(at, PercentEncode(userName) + ':' + PercentEncode(password) + '@');
    }
    return text;
}

} // namespace

std::string TrackerEndpointText(const std::string& url, std::int32_t port,
                                const std::string& userName, const std::string& password) {
    return WithPortAndCredentials(url, ConfiguredPort(port), userName, password);
}

std::string TrackerProxyText(const std::string& host, std::uint16_t port,
                             const std::string& userName, const std::string& password) {
    if (host.empty()) {
        return {};
    }
    return WithPortAndCredentials(host, port, userName, password);
}

} // namespace faulttrap
