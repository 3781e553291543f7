// Feeds arbitrary bytes to the readers of outside text of the web delivery: addresses from the
// options, status lines, headers and redirect targets from servers. Whatever the bytes, they
// must give an answer without a crash or over-read, and credentials must survive being written
// into an address and read back.

#include "crashreport/web/http_response.h"
#include "crashreport/web/http_url.h"
#include "crashreport/web/redirect_target.h"
#include "crashreport/web/tracker_endpoint.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace faulttrap;

namespace {

// The piece of `bytes` up to the next line feed, taken off the front.
std::string_view NextPiece(std::string_view& bytes) {
    const std::size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    return piece;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view whole(reinterpret_cast<const char*>(data), size);

    const THTTPUrl url = ParseHTTPUrl(whole);
    if (url.port == 0 || url.basePath.ends_with('/')) {
        std::abort();
    }
    const THTTPProxy proxy = ParseHTTPProxy(whole);
    if (proxy.port == 0) {
        std::abort();
    }

    int code = 0;
    std::string text;
    ParseStatusLine(whole, code, text);
    if (code < 0 || code > 999) {
        std::abort();
    }
    HeaderValue(whole, "Location");
    RefreshTarget(whole);
    PageNameOf(whole);

    std::string_view rest = whole;
    const std::string_view current = NextPiece(rest);
    const std::string_view location = NextPiece(rest);
    RedirectTarget(current, location);

    const std::string userName(NextPiece(rest));
    const std::string password(rest);
    const THTTPUrl back =
        ParseHTTPUrl(TrackerEndpointText("http://host.example/base", 8080, userName, password));
    if (!userName.empty() || !password.empty()) {
        if (back.userName != userName || back.password != password || back.host != "host.example" ||
            back.port != 8080 || back.basePath != "/base") {
            std::abort();
        }
    }
    return 0;
}
