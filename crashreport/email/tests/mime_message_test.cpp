#include "crashreport/email/mime_message.h"

#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace faulttrap {
namespace {

// Runs with the time zone given, then restores the old one.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (old_) {
            setenv("TZ", old_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> old_;
};

constexpr std::time_t EndOfJanuary = 1706745599; // 2024-01-31 23:59:59 UTC

TEST(SmtpDate, LocalTimeWithTheWholeHourOffset) {
    struct Case {
        const char* zone;
        const char* expected;
    } cases[] = {
        {"UTC0", "Wed, 31 Jan 2024 23:59:59 +0000"},
        {"BRT3", "Wed, 31 Jan 2024 20:59:59 -0300"},
        {"IST-5:30", "Thu, 1 Feb 2024 05:29:59 +0500"},
        {"NST3:30", "Wed, 31 Jan 2024 20:29:59 -0300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        ZoneScope zone(c.zone);
        EXPECT_EQ(SmtpDate(EndOfJanuary), c.expected);
    }
}

TEST(SmtpMessage, LaysOutHeadersTextAndAttachmentsWithDotsDoubled) {
    testing::TempFolder folder;
    const auto zip = folder.Write("BugReport.zip", std::string(150, '\xAB')); // 200 Base64 chars
    const auto png = folder.Write("Screenshot.PNG", "png!");
    TMailMessage message;
    message.fromHeader = "\"Maria\" <bugs@example.com>";
    message.subject = "Crash\r\nreport";
    message.text = "Hello\n.\n..two\r\nend";
    message.attachments = {{zip.string(), "BugReport__PC01.zip"},
                           {(folder / "missing.zip").string(), "missing.zip"},
                           {png.string(), "Screenshot.PNG"}};
    ZoneScope zone("UTC0");
    const std::string base64Line = "q6ur"; // three 0xAB bytes
    std::string expected =
        "Date: Wed, 31 Jan 2024 23:59:59 +0000\r\n"
        "From: \"Maria\" <bugs@example.com>\r\n"
        "Subject: Crash report\r\n"
        "To: <dev@example.org>\r\n"
        "Content-Type: multipart/mixed; boundary=\"=_xcjvnxkbhvfkxzhfdbvzldjhfv\";\r\n"
        "MIME-Version: 1.0\r\n"
        "Message-ID: <123456@faulttrap.invalid>\r\n"
        "\r\n"
        "This is a multi-part message in MIME format\r\n"
        "\r\n"
        "--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n"
        "\r\n"
        "Hello\r\n"
        "..\r\n"
        "...two\r\n"
        "end\r\n"
        "\r\n"
        "--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: application/octet-stream;\r\n"
        "        name=\"BugReport__PC01.zip\"\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment;\r\n"
        "        filename=\"BugReport__PC01.zip\"\r\n"
        "\r\n";
    std::string quads;
    for (int i = 0; i < 50; ++i) {
        quads += base64Line;
    }
    expected += quads.substr(0, 80) + "\r\n" + quads.substr(80, 80) + "\r\n" +
                quads.substr(160, 40) + "\r\n";
    expected += "\r\n"
                "--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
                "Content-Type: image/png;\r\n"
                "        name=\"Screenshot.PNG\"\r\n"
                "Content-Transfer-Encoding: base64\r\n"
                "Content-Disposition: attachment;\r\n"
                "        filename=\"Screenshot.PNG\"\r\n"
                "\r\n"
                "cG5nIQ==\r\n"
                "--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n"
                ".\r\n";
    EXPECT_EQ(BuildSmtpMessage(message, "dev@example.org", EndOfJanuary, 123456), expected);
}

TEST(SmtpMessage, MissingArchiveLeavesTheTextPartAndTheClosingBoundary) {
    TMailMessage message;
    message.fromHeader = "x@example.com";
    message.text = "text";
    message.attachments = {{"/nonexistent/BugReport.zip", "BugReport.zip"}};
    const std::string content = BuildSmtpMessage(message, "a@b", EndOfJanuary, 1);
    EXPECT_TRUE(content.ends_with("\r\n\r\ntext\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n.\r\n"))
        << content;
    EXPECT_EQ(content.find("Content-Disposition"), std::string::npos);
}

// The text part in quoted-printable: no line of the mail over the limit of SMTP, and the text
// decoded back unchanged.
TEST(SmtpMessage, TextPartIsQuotedPrintableWithShortLines) {
    const struct {
        std::string text;
        std::string encoded;
    } cases[] = {
        {"a=b", "a=3Db"},
        {"trailing \r\nblank\t", "trailing=20\r\nblank=09"},
        {"caf\xE9", "caf=E9"},
        {std::string(80, 'x'), std::string(75, 'x') + "=\r\n" + std::string(5, 'x')},
        {std::string(74, 'x') + "=", std::string(74, 'x') + "=\r\n=3D"},
    };
    for (const auto& [text, encoded] : cases) {
        TMailMessage message;
        message.fromHeader = "x@example.com";
        message.text = text;
        const std::string content = BuildSmtpMessage(message, "a@b", EndOfJanuary, 1);
        EXPECT_NE(content.find("quoted-printable\r\n\r\n" + encoded + "\r\n--"), std::string::npos)
            << content;
    }
    TMailMessage message;
    message.fromHeader = "x@example.com";
    message.text = std::string(1500, 'E') + "\r\n" + std::string(3000, ' ');
    const std::string content = BuildSmtpMessage(message, "a@b", EndOfJanuary, 1);
    std::size_t longest = 0;
    for (std::size_t start = 0, end; start < content.size(); start = end + 2) {
        end = content.find("\r\n", start);
        longest = std::max(longest, end - start);
    }
    EXPECT_LE(longest, 76u);
}

} // namespace
} // namespace faulttrap
