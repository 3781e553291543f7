#include "crashreport/web/tests/peer_process.h"

#include "crashreport/web/http_request.h"
#include "crashreport/web/http_response.h"
#include "crashreport/web/multipart_body.h"
#include "crashreport/web/percent_encoding.h"
#include "crashreport/web/redirect_target.h"

#include <gtest/gtest.h>

#include <regex>

namespace faulttrap {
namespace {

TEST(PercentEncodeTest, KeepsOnlyAsciiLettersAndDigits) {
    EXPECT_EQ(PercentEncode("Az09"), "Az09");
    EXPECT_EQ(PercentEncode("a-b.c d_e~"), "a%2Db%2Ec%20d%5Fe%7E");
    EXPECT_EQ(PercentEncode("\xE7\x01/=&"), "%E7%01%2F%3D%26");
    EXPECT_EQ(PercentDecode("%E7%01%2f%zz%4"), "\xE7\x01/%zz%4");
}

TEST(MultipartBoundaryTest, IsDashesAndThreeFourDigitHexadecimalNumbers) {
    const std::regex form("-{27}[0-9A-F]{12}");
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(std::regex_match(RandomMultipartBoundary(), form));
    }
}

TEST(BuildRequestContentTest, GetCarriesTheFieldsAsEncodedQuery) {
    THTTPRequest request{"/bugs/buglist.cgi", THTTPMethod::Get, {}, {}};
    request.fields = {{"order", "relevance desc"}, {"a b", "1.0-x"}};
    const THTTPRequestContent content = BuildRequestContent(request, "B");
    EXPECT_EQ(content.target, "/bugs/buglist.cgi?order=relevance%20desc&a%20b=1%2E0%2Dx");
    EXPECT_EQ(content.body, "");
    EXPECT_EQ(content.contentType, "");

    request.path = "/default.asp?pre=1";
    EXPECT_EQ(BuildRequestContent(request, "B").target,
              "/default.asp?pre=1&order=relevance%20desc&a%20b=1%2E0%2Dx");
}

TEST(BuildRequestContentTest, FormPostEncodesTheValuesOnly) {
    THTTPRequest request{"/login.php", THTTPMethod::PostForm, {}, {}};
    request.fields = {{"return", "login_select_proj_page.php"}, {"user_name", "ana maria"}};
    const THTTPRequestContent content = BuildRequestContent(request, "B");
    EXPECT_EQ(content.target, "/login.php");
    EXPECT_EQ(content.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(content.body, "return=login%5Fselect%5Fproj%5Fpage%2Ephp&user_name=ana%20maria");
}

TEST(BuildRequestContentTest, MultipartHasFieldsThenFilesAndAnEmptyPartForAMissingFile) {
    test::TTempFolder folder;
    const std::string archive = folder.Write("BugReport.zip", std::string("PK\x03\x04\0\r\n", 7));
    THTTPRequest request{"/bug_report.php", THTTPMethod::PostMultipart, {}, {}};
    request.fields = {{"m_id", "0"}, {"summary", "[v1.0 - 1]: 1A2B (EAccessViolation)"}};
    request.files = {{"file", archive}, {"extra", (folder.Path() / "gone.txt").string()}};

    const THTTPRequestContent content = BuildRequestContent(request, "--XYZ");
    EXPECT_EQ(content.contentType, "multipart/form-data; boundary=--XYZ");
    EXPECT_EQ(content.body,
              "----XYZ\r\nContent-Disposition: form-data; name=\"m_id\";\r\n\r\n0\r\n"
              "----XYZ\r\nContent-Disposition: form-data; name=\"summary\";\r\n\r\n"
              "[v1.0 - 1]: 1A2B (EAccessViolation)\r\n"
              "----XYZ\r\nContent-Disposition: form-data; name=\"file\"; "
              "filename=\"BugReport.zip\";\r\nContent-Type: application/octet-stream\r\n\r\n" +
                  std::string("PK\x03\x04\0\r\n", 7) +
                  "\r\n"
                  "----XYZ\r\nContent-Disposition: form-data; name=\"extra\"; filename=\"\";\r\n"
                  "Content-Type: application/octet-stream\r\n\r\n\r\n"
                  "----XYZ--\r\n");
}

TEST(HTTPResponseTextTest, PageNameAndBlankedBytes) {
    EXPECT_EQ(PageNameOf("/mantis/view_all_bug_page.php?f=3"), "view_all_bug_page.php");
    EXPECT_EQ(PageNameOf("/mantis/"), "");
    EXPECT_EQ(PageNameOf("default.asp"), "default.asp");

    std::string body("a\x01\r\n\tb\x1f\x20\x7f\xe9", 10);
    BlankControlBytes(body);
    EXPECT_EQ(body, std::string("a    b \x20\x7f\xe9", 10));

    const std::string headers = "Content-Type: text/html\r\nrefresh:  0; URL='next.php' \r\n";
    EXPECT_EQ(HeaderValue(headers, "Refresh"), "0; URL='next.php'");
    EXPECT_EQ(HeaderValue(headers, "Location"), "");
}

TEST(ParseStatusLineTest, ReadsThreeDigitsAndTheRestOfTheLine) {
    struct Case {
        const char* line;
        int code;
        const char* text;
    };
    for (const Case& c :
         {Case{"HTTP/1.1 500 Internal Server Error\r\n", 500, "Internal Server Error"},
          Case{"HTTP/1.0 200\r\n", 200, ""}, Case{"HTTP/1.1 2000 Huge\r\n", 0, ""},
          Case{"HTTP/1.1 20", 0, ""}, Case{"HTTP/1.1", 0, ""}}) {
        int code = -1;
        std::string text = "stale";
        ParseStatusLine(c.line, code, text);
        EXPECT_EQ(code, c.code) << c.line;
        EXPECT_EQ(text, c.text) << c.line;
    }
}

TEST(RedirectTargetTest, ResolvesLocationsAgainstTheRequest) {
    EXPECT_EQ(RedirectTarget("/mantis/login.php", "my_view_page.php"), "/mantis/my_view_page.php");
    EXPECT_EQ(RedirectTarget("/mantis/login.php?x=/y", "/other/p.php"), "/other/p.php");
    EXPECT_EQ(RedirectTarget("/a/b", "HTTPS://elsewhere/x"), "HTTPS://elsewhere/x");
    EXPECT_EQ(RedirectTarget("https://h/a/b", "//cdn/x"), "https://cdn/x");
    EXPECT_EQ(RefreshTarget("0; URL=\"next.php\""), "next.php");
    EXPECT_EQ(RefreshTarget("5"), "");
}

} // namespace
} // namespace faulttrap
