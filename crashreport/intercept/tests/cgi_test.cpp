// A console program started by a web server (REQUEST_METHOD in its environment) answers its
// client with an HTML page of the report instead of the plain report.

#include "crashreport/intercept/tests/crash_run.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

const std::string kReturnButton =
    "<br><input type=button value=\"Ok\" OnClick=\"history.go(-1)\" "
    "style=\"width:75;height:25;z-index:100;font-style:normal;font-size:10pt;text-decoration:"
    "none;\">";

// The CGI answer at the start of `output`: its header lines and the page they announce.
struct CgiAnswer {
    bool wellFormed = false;
    std::string page;
    std::string rest; // what the program wrote after the answer
};

CgiAnswer ReadAnswer(const std::string& output) {
    static const std::regex header("^Status: 200 Error\r\nContent-Type: text/html\r\n"
                                   "Content-Length: ([0-9]+)\r\nContent:\r\n\r\n");
    std::smatch match;
    CgiAnswer answer;
    if (!std::regex_search(output, match, header)) {
        return answer;
    }
    const std::size_t length = std::stoul(match[1]);
    const std::size_t start = match.length(0);
    if (output.size() < start + length) {
        return answer;
    }
    answer.wellFormed = true;
    answer.page = output.substr(start, length);
    answer.rest = output.substr(start + length);
    return answer;
}

class CgiTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = FreshFolder("cgi"); }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    CrashRun Run(const std::string& failure, const std::string& dialog, bool webServer) {
        CrashSettings settings;
        if (webServer) {
            settings.environment = {{"REQUEST_METHOD", "GET"}};
        }
        CrashRun run = RunCrashers(
            {failure, "--log", (folder_ / "cgi.ftlog").string(), "--dialog", dialog}, settings);
        EXPECT_FALSE(run.timedOut);
        EXPECT_FALSE(run.leftovers);
        return run;
    }

    std::filesystem::path folder_;
};

TEST_F(CgiTest, AnswersWithThePageOfTheReport) {
    const CrashRun run = Run("handled", "2", true);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const CgiAnswer answer = ReadAnswer(run.output);
    ASSERT_TRUE(answer.wellFormed) << run.output;
    EXPECT_EQ(answer.rest, "notified 1\n");
    EXPECT_NE(answer.page.find("<title>Error occurred</title>"), std::string::npos);
    // The report, encoded for HTML, with its call stack.
    EXPECT_NE(answer.page.find("handled number 0"), std::string::npos) << answer.page;
    EXPECT_NE(answer.page.find("std::runtime_error"), std::string::npos);
    EXPECT_NE(answer.page.find("*Exception Thread: ID="), std::string::npos) << answer.page;
    EXPECT_NE(answer.page.find("ReportHandled"), std::string::npos);
    EXPECT_NE(answer.page.find("<br>\r\n"), std::string::npos);
    EXPECT_EQ(answer.page.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(answer.page.find(kReturnButton), std::string::npos);
    EXPECT_TRUE(std::regex_search(answer.page, std::regex("<!-- FaultTrap ID: [0-9A-F]{8} -->$")));
}

// Without a dialog the client still gets a page: the message alone, as the report has it.
TEST_F(CgiTest, WithoutADialogAnswersWithTheMessageAlone) {
    const CrashRun run = Run("handled", "0", true);
    const CgiAnswer answer = ReadAnswer(run.output);
    ASSERT_TRUE(answer.wellFormed) << run.output;
    EXPECT_NE(answer.page.find("handled number 0." + kReturnButton), std::string::npos)
        << answer.page;
    EXPECT_EQ(answer.page.find("ReportHandled"), std::string::npos);
}

// An exception that ends the program still answers the client first.
TEST_F(CgiTest, AnUnhandledExceptionAnswersBeforeTheEnd) {
    const CrashRun run = Run("out-of-range", "2", true);
    EXPECT_EQ(run.exitCode, 1);
    const CgiAnswer answer = ReadAnswer(run.output);
    ASSERT_TRUE(answer.wellFormed) << run.output;
    EXPECT_NE(answer.page.find("std::out_of_range"), std::string::npos);
    EXPECT_EQ(answer.rest, "");
}

// The same program outside a web server writes the plain report.
TEST_F(CgiTest, OutsideAWebServerTheReportIsPlain) {
    const CrashRun run = Run("handled", "2", false);
    EXPECT_FALSE(ReadAnswer(run.output).wellFormed);
    EXPECT_EQ(run.output.find("Status:"), std::string::npos);
    EXPECT_NE(run.output.find("*Exception Thread: ID="), std::string::npos) << run.output;
}

} // namespace
} // namespace faulttrap::testing
