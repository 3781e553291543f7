#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// The failure codes of the web delivery, by their names in the warning output.
enum class TWebWarningCode { eeWebHTTPError, eeWebHTTPSError, eeWebFTPError, eeWebTrakerError };

const char* WarningCodeName(TWebWarningCode code);

struct TWebWarning {
    TWebWarningCode code;
    std::string text;
};

// "HTTP error code: 500 (Internal Server Error)"; for code -1 (no client library)
// "HTTP error code: -1 - Cannot find the "libcurl.so.4" library.".
std::string WebErrorText(std::string_view protocol, int code, std::string_view errorText);

// How an upload ended: code 0 is success; otherwise the status code or error number, its text
// and the warning to record.
struct TWebStepOutcome {
    int code = 0;
    std::string errorText;
    std::optional<TWebWarning> warning;
    bool Succeeded() const { return code == 0; }
};

} // namespace faulttrap
