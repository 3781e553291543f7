#include "crashreport/renderings/html_page.h"

#include <gtest/gtest.h>

#include <regex>

namespace faulttrap {
namespace {

TEST(HtmlPage, EncodingOrder) {
    EXPECT_EQ(HtmlEncode("a & \"b\" 'c' <d>  e\r\nf"),
              "a &amp; &quot;b&quot; &#039;c&#039; &lt;d&gt;&nbsp;&nbsp;e<br>\r\nf");
}

TEST(HtmlPage, TemplateRules) {
    struct Case {
        const char* name;
        std::string templateText;
        std::string expectedStart;
    };
    const Case cases[] = {
        {"no title gets one", "<html><%html_tag%></html>",
         "<title>Error occurred</title><html>x<br>"},
        {"title kept", "<TITLE>t</Title><%HTML_TAG%>", "<TITLE>t</Title>x<br>"},
        {"blank template uses the default", " \r\n\t", "<title>Error occurred</title><html>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HtmlPage page = BuildHtmlPage("x\r\n", c.templateText, "Error occurred", false);
        EXPECT_TRUE(page.page.starts_with(c.expectedStart)) << page.page;
        EXPECT_TRUE(
            std::regex_match(page.identifier, std::regex("<!-- FaultTrap ID: [0-9A-F]{8} -->")));
        EXPECT_TRUE(page.page.ends_with(page.identifier));
        EXPECT_EQ(page.page.find("HTML_TAG"), std::string::npos);
    }
}

TEST(HtmlPage, ReturnButtonFollowsTheText) {
    const HtmlPage page = BuildHtmlPage("oops", "<title>a</title><%HTML_TAG%>!", "E", true);
    EXPECT_NE(page.page.find("oops<br><input type=button value=\"Ok\" OnClick=\"history.go(-1)\""),
              std::string::npos);
    EXPECT_NE(page.page.find("text-decoration:none;\">!<!-- FaultTrap ID: "), std::string::npos);
}

} // namespace
} // namespace faulttrap
