#include "crashreport/web/web_warning.h"

#include "crashreport/web/curl_session.h"
#include "crashreport/web/wininet_messages.h"

namespace faulttrap {

const char* WarningCodeName(TWebWarningCode code) {
    switch (code) {
    case TWebWarningCode::eeWebHTTPError:
        return "eeWebHTTPError";
    case TWebWarningCode::eeWebHTTPSError:
        return "eeWebHTTPSError";
    case TWebWarningCode::eeWebFTPError:
        return "eeWebFTPError";
    case TWebWarningCode::eeWebTrakerError:
        break;
    }
    return "eeWebTrakerError";
}

std::string WebErrorText(std::string_view protocol, int code, std::string_view errorText) {
    std::string text = std::string(protocol) + " error code: " + std::to_string(code);
    if (code == wininet_error::LibraryMissing) {
        return text + " - Cannot find the \"" + CurlLibraryName + "\" library.";
    }
    return text + " (" + std::string(errorText) + ")";
}

} // namespace faulttrap
