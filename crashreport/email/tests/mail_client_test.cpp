#include "crashreport/email/mail_client.h"
#include "crashreport/email/send_by_email.h"

#include "crashreport/options/fault_module_options.h"

#include "crashreport/email/tests/recorders.h"
#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

namespace faulttrap {
namespace {

// A stand-in for the desktop's mail programs: records its arguments, one per line, and ends
// with the given exit code.
class DesktopProgram {
public:
    DesktopProgram(const testing::TempFolder& folder, const std::string& name, int exitCode)
        : record_(folder / (name + ".args")) {
        path_ =
            folder
                .Write(name, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 record_.string() + "'\nexit " + std::to_string(exitCode) + "\n")
                .string();
        chmod(path_.c_str(), 0755);
    }
    const std::string& Path() const { return path_; }
    std::vector<std::string> Arguments() const {
        std::vector<std::string> arguments;
        std::istringstream lines(testing::ReadFile(record_));
        for (std::string line; std::getline(lines, line);) {
            arguments.push_back(line);
        }
        return arguments;
    }

private:
    std::filesystem::path record_;
    std::string path_;
};

class MailClient : public ::testing::Test {
protected:
    testing::TempFolder folder_;
    testing::RecordingEvents events_;
};

TEST_F(MailClient, HandsSubjectBodyAttachmentCopiesAndRecipientsToTheMailProgram) {
    const DesktopProgram email(folder_, "email", 0);
    // What the mail program finds in the copy while it runs.
    const std::filesystem::path seen = folder_ / "copy.seen";
    const std::string readingEmail =
        folder_
            .Write("reading-email", "#!/bin/sh\ncat \"$6\" > '" + seen.string() + "'\nexec '" +
                                        email.Path() + "' \"$@\"\n")
            .string();
    chmod(readingEmail.c_str(), 0755);
    const std::string archive = folder_.Write("BugReport.zip", "zip bytes").string();
    setenv("FT_TEST_APP", "Registry", 1);
    setenv("TMPDIR", folder_.Path().c_str(), 1); // the copies land inside the test's folder
    TMailClientPrograms programs;
    programs.email = readingEmail;
    EXPECT_TRUE(SendByMapi(
        "a@x.org; b@y.org", "Crash in %FT_TEST_APP%", "Body text",
        {{archive, "BugReport__PC01.zip"}, {(folder_ / "gone.zip").string(), "gone.zip"}}, programs,
        events_));
    unsetenv("TMPDIR");
    const std::vector<std::string> arguments = email.Arguments();
    ASSERT_EQ(arguments.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(arguments.begin(), arguments.begin() + 5),
              (std::vector<std::string>{"--subject", "Crash in Registry", "--body", "Body text",
                                        "--attach"}));
    // A copy under the travelling name, in a folder of its own that is gone once the mail
    // program has ended.
    const std::filesystem::path copy = arguments[5];
    EXPECT_EQ(copy.filename(), "BugReport__PC01.zip");
    EXPECT_EQ(copy.parent_path().parent_path(), folder_.Path());
    EXPECT_EQ(testing::ReadFile(seen), "zip bytes");
    EXPECT_FALSE(std::filesystem::exists(copy.parent_path()));
    EXPECT_EQ(arguments[6], "a@x.org");
    EXPECT_EQ(arguments[7], "b@y.org");
    EXPECT_TRUE(events_.warnings.empty());
}

TEST_F(MailClient, FailuresOfTheMailProgramAreMailClientWarnings) {
    const DesktopProgram failing(folder_, "email", 4);
    TMailClientPrograms programs;
    programs.email = failing.Path();
    EXPECT_FALSE(SendByMapi("a@x.org", "s", "m", {}, programs, events_));
    programs.email = (folder_ / "no-such-program").string();
    EXPECT_FALSE(SendByMapi("a@x.org", "s", "m", {}, programs, events_));
    ASSERT_EQ(events_.warnings.size(), 2u);
    EXPECT_EQ(events_.warnings[0], std::make_pair(TFaultTrapErrorCode::eeEmailMAPIError,
                                                  std::string("Cannot send the MAPI message.")));
    EXPECT_EQ(events_.warnings[1].first, TFaultTrapErrorCode::eeEmailMAPIError);
    EXPECT_NE(events_.warnings[1].second.find("No such file or directory"), std::string::npos);
}

TEST(Mailto, EncodingKeepsLettersDigitsDashAndHighBytes) {
    EXPECT_EQ(MailtoEncode("Erro no m\xF3"
                           "dulo-2: a&b=c.\r\n"),
              "Erro%20no%20m\xF3"
              "dulo-2%3A%20a%26b%3Dc%2E%0D%0A");
    EXPECT_EQ(MailtoAddress("a@x.org", "Bug report", "Hi!"),
              "mailto:a@x.org?Subject=Bug%20report&Body=Hi%21");
}

TEST_F(MailClient, MailtoOpensTheAddressWithTheReportAppended) {
    const DesktopProgram open(folder_, "open", 0);
    TMailClientPrograms programs;
    programs.open = open.Path();
    EXPECT_TRUE(SendByMailto("a@x.org", "Bug", "Hello", "Report", programs, events_));
    EXPECT_EQ(
        open.Arguments(),
        std::vector<std::string>{"mailto:a@x.org?Subject=Bug&Body=Hello%0D%0A%0D%0A%0D%0AReport"});

    programs.open = (folder_ / "no-opener").string();
    EXPECT_FALSE(SendByMailto("a@x.org", "Bug", "Hello", "Report", programs, events_));
    ASSERT_EQ(events_.warnings.size(), 1u);
    EXPECT_EQ(events_.warnings[0].first, TFaultTrapErrorCode::eeEmailShellError);
}

// A report of 60 KB would make an argument longer than the system takes: the body is cut to
// keep the address within its bound, with a line that says so.
TEST_F(MailClient, MailtoCutsALongReportToTheAddressBound) {
    const DesktopProgram open(folder_, "open", 0);
    TMailClientPrograms programs;
    programs.open = open.Path();
    std::string report;
    for (int line = 0; report.size() < 60000; ++line) {
        report += "  3.1 Line " + std::to_string(line) + " of the call stack\r\n";
    }
    EXPECT_TRUE(SendByMailto("a@x.org", "Bug", "Hello", report, programs, events_));
    const std::vector<std::string> arguments = open.Arguments();
    ASSERT_EQ(arguments.size(), 1u);
    const std::string& address = arguments[0];
    EXPECT_LE(address.size(), MaxMailtoAddress);
    EXPECT_GT(address.size(), MaxMailtoAddress - 3);
    EXPECT_TRUE(address.ends_with(MailtoEncode(MailtoCutLine)))
        << address.substr(address.size() - 200);
    const std::string whole = MailtoAddress("a@x.org", "Bug", "Hello\r\n\r\n\r\n" + report);
    const std::string kept = address.substr(0, address.size() - MailtoEncode(MailtoCutLine).size());
    EXPECT_EQ(whole.substr(0, kept.size()), kept);
    // A short report is left whole.
    EXPECT_EQ(BoundedMailtoAddress("a@x.org", "Bug", "Hi"), MailtoAddress("a@x.org", "Bug", "Hi"));
}

// The report rides in the body once, also when the option puts it into the message.
TEST_F(MailClient, EmailStepFallsBackToMailtoWhenTheMailProgramFails) {
    const DesktopProgram failing(folder_, "email", 3);
    const DesktopProgram open(folder_, "open", 0);
    TFaultModuleOptions options("", false);
    options.SetEMailSendMode(TFaultEMailSendMode::MailClient);
    options.SetEMailAddresses("dev@example.org");
    options.SetEMailSubject("Bug");
    options.SetEMailMessage("See below");
    options.SetAppendReportToMessage(true);
    TEmailEnvironment environment;
    environment.programs = {failing.Path(), open.Path()};
    testing::RecordingProgress progress;
    EXPECT_TRUE(SendByEmail(options, "Report", {}, events_, progress, environment));
    EXPECT_EQ(open.Arguments(),
              std::vector<std::string>{"mailto:dev@example.org?Subject=Bug&Body=See%20below"
                                       "%0D%0A%0D%0A%0D%0AReport"});
    ASSERT_EQ(events_.warnings.size(), 1u);
    EXPECT_EQ(events_.warnings[0].first, TFaultTrapErrorCode::eeEmailMAPIError);
    EXPECT_EQ(events_.actions, (std::vector<int>{4, 5}));
    EXPECT_TRUE(progress.steps.empty()); // no progress window for the mail client
}

} // namespace
} // namespace faulttrap
