#pragma once

// The report as an HTML page, for programs that answer a web client.

#include <string>
#include <string_view>

namespace faulttrap {

// "&", the double quote, "'", "<", ">", two blanks and CR LF written for HTML, in that order.
std::string HtmlEncode(std::string_view text);

struct HtmlPage {
    std::string page;
    std::string identifier; // "<!-- FaultTrap ID: XXXXXXXX -->", which ends the page
};

// The encoded text in `htmlTemplate` (the options' template, or the default template when it
// holds nothing but blanks and control characters) at its "<%HTML_TAG%>" placeholder, written in
// any letter case; with a title of `title` in front when the template has none; the return
// button after the text for the error page of a web-server program.
HtmlPage BuildHtmlPage(std::string_view text, std::string_view htmlTemplate, std::string_view title,
                       bool returnButton);

} // namespace faulttrap
