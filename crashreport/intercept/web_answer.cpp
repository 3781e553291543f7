#include "intercept/web_answer.h"

#include "crashreport/renderings/html_page.h"

namespace faulttrap {

std::string ErrorPageOf(std::string_view text, const TFaultModuleOptions& options) {
    return BuildHtmlPage(text, options.HTMLTemplate(), options.CustomizedText(3), true).page;
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

bool WriteCgiAnswer(std::FILE* out, std::string_view page) {
    const std::string answer = CgiAnswer(page);
    return std::fwrite(answer.data(), 1, answer.size(), out) == answer.size() &&
           std::fflush(out) == 0;
}

} // namespace faulttrap
