#include "crashreport/intercept/web_answer.h"

#include "crashreport/intercept/descriptor_output.h"

#include "crashreport/renderings/html_page.h"

namespace faulttrap {

std::string ErrorPageOf(std::string_view text, const TFaultModuleOptions& options) {
    return BuildHtmlPage(text, options.HTMLTemplate(),
                         options.CustomizedText(TextId::DialogCaption), true)
        .page;
}

std::string CgiAnswer(std::string_view page) {
    std::string answer = "Status: 200 Error\r\n"
                         "Content-Type: text/html\r\n"
                         "Content-Length: " +
                         std::to_string(page.size()) +
                         "\r\n"
                         "Content:\r\n"
                         "\r\n";
    answer += page;
    return answer;
}

bool WriteCgiAnswer(int out, std::string_view page) {
    return WriteToDescriptor(out, CgiAnswer(page));
}

} // namespace faulttrap
