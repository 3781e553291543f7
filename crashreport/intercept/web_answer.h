#pragma once

// The answer a CGI program gives its web client when an exception is reported: the HTML page of
// the report (or of the message alone) behind the CGI header lines.

#include "crashreport/options/fault_module_options.h"

#include <string>
#include <string_view>

namespace faulttrap {

// The HTML page of `text` in the options' template, titled with text 3, with the return button.
std::string ErrorPageOf(std::string_view text, const TFaultModuleOptions& options);

// The status line "Status: 200 Error", the content type and length and the empty line, then
// `page`.
std::string CgiAnswer(std::string_view page);

// Writes the CGI answer of `page` to the descriptor `out` with write(2); false when it could not
// be written whole (a web server that has gone included).
bool WriteCgiAnswer(int out, std::string_view page);

} // namespace faulttrap
