#include "crashreport/renderings/html_page.h"

#include "crashreport/options/option_values.h"
#include "crashreport/text/strings.h"

#include <cctype>
#include <cstdio>
#include <random>

namespace faulttrap {
namespace {

constexpr std::string_view kPlaceholder = "<%HTML_TAG%>";

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool Blank(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > ' ') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string HtmlEncode(std::string_view text) {
    std::string encoded(text);
    encoded = ReplaceAll(std::move(encoded), "&", "&amp;");
    encoded = ReplaceAll(std::move(encoded), "\"", "&quot;");
    encoded = ReplaceAll(std::move(encoded), "'", "&#039;");
    encoded = ReplaceAll(std::move(encoded), "<", "&lt;");
    encoded = ReplaceAll(std::move(encoded), ">", "&gt;");
    encoded = ReplaceAll(std::move(encoded), "  ", "&nbsp;&nbsp;");
    encoded = ReplaceAll(std::move(encoded), "\r\n", "<br>\r\n");
    return encoded;
}

HtmlPage BuildHtmlPage(std::string_view text, std::string_view htmlTemplate, std::string_view title,
                       bool returnButton) {
    std::string body = HtmlEncode(text);
    if (returnButton) {
        body += "<br><input type=button value=\"Ok\" OnClick=\"history.go(-1)\" "
                "style=\"width:75;height:25;z-index:100;font-style:normal;font-size:10pt;"
                "text-decoration:none;\">";
    }
    std::string page(Blank(htmlTemplate) ? std::string_view(kDefaultHTMLTemplate) : htmlTemplate);
    // The placeholder in any letter case.
    const std::string placeholder = Lower(kPlaceholder);
    for (std::size_t at = Lower(page).find(placeholder); at != std::string::npos;
         at = Lower(page).find(placeholder, at + kPlaceholder.size())) {
        page.replace(at, kPlaceholder.size(), kPlaceholder);
    }
    const std::string lower = Lower(page);
    const std::size_t titleOpen = lower.find("<title>");
    if (titleOpen == std::string::npos || lower.find("</title>", titleOpen) == std::string::npos) {
        page.insert(0, "<title>" + std::string(title) + "</title>");
    }
    static std::mt19937 random{std::random_device{}()};
    char identifier[48];
    std::snprintf(identifier, sizeof identifier, "<!-- FaultTrap ID: %08X -->",
                  static_cast<unsigned>(random()));
    // Every placeholder of the template; the text may hold one itself, which stays.
    for (std::size_t at = page.find(kPlaceholder); at != std::string::npos;
         at = page.find(kPlaceholder, at + body.size())) {
        page.replace(at, kPlaceholder.size(), body);
    }
    return {page + identifier, identifier};
}

} // namespace faulttrap
