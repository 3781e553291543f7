// The facts a real failure's report holds, read back from the log the crash test program wrote:
// the exception's own message, the compilation date, the module, the priorities, the window and
// the screen. Nothing the report shows is handed to it by the test.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/debuginfo/elf_section.h"
#include "crashreport/debuginfo/subsystem_data.h"
#include "crashreport/renderings/log_xml.h"
#include "crashreport/report/log_file.h"
#include "crashreport/report/value_formats.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

const std::string kDate = "(Sun|Mon|Tue|Wed|Thu|Fri|Sat), [1-9]\\d? "
                          "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} "
                          "\\d\\d:\\d\\d:\\d\\d [+-]\\d\\d00";
const std::string kDuration = "([1-9]\\d* (day|hour|minute)s?, )*\\d+ seconds?";
const std::string kPriorityName = "(Low|Below-Normal|Normal|Above-Normal|High|Real-Time)";
const std::string kAdapters = "(\\d{3}\\.\\d{3}\\.\\d{3}\\.\\d{3}( - "
                              "\\d{3}\\.\\d{3}\\.\\d{3}\\.\\d{3})*)?";

class ReportFacts : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        log_ = folder_ / "crash.ftlog";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Runs the crash test program with its log in the test's folder and no dialog.
    CrashRun Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin() + 1, {"--log", log_.string()});
        return RunCrashers(arguments);
    }

    std::filesystem::path folder_;
    std::filesystem::path log_;
};

// The compilation time stored in the program's own data, as a report date.
std::string CompilationDateOf(const std::string& program) {
    const auto section = ReadElfSection(program, ".ftdata");
    if (!section) {
        return "";
    }
    const auto seconds = UnixFromCompilationTime(DecodeSubsystemData(*section).compilationTime);
    return seconds ? FormatReportDate(ReportClock::from_time_t(static_cast<std::time_t>(*seconds)))
                   : "";
}

std::string UserName() {
    const passwd* user = getpwuid(getuid());
    return user != nullptr ? user->pw_name : "";
}

std::string HostName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

// The captions of the call-stack table's thread blocks.
std::vector<std::string> ThreadCaptions(const std::string& report) {
    std::vector<std::string> captions;
    const std::regex caption("\\|[*]?(Exception|Running|Calling) Thread: [^|]*\\|");
    for (auto it = std::sregex_iterator(report.begin(), report.end(), caption);
         it != std::sregex_iterator(); ++it) {
        captions.push_back(it->str());
    }
    return captions;
}

TEST_F(ReportFacts, TheReportKeepsTheExceptionsOwnMessageWhileTheDialogGetsTheCustomOne) {
    const CrashRun run =
        Run({"controls-message", "--report-options", "0x20", "--filter",
             "std::runtime_error,0,2,2,0,Something went wrong here", "--no-dialog-shown"});
    ASSERT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_NE(run.output.find("dialog message: Something went wrong here\n"), std::string::npos)
        << run.output;
    TLogFile file(log_, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    // Tab, bell and escape stay; the lines keep their text, the last one gets its full stop.
    EXPECT_EQ(file.ReadItem(0, "2.6").value_or(""),
              "tab\there, bell\a, escape\x1b; a line ending in colon:\r\nindented\r\n\r\nlast.");
    // The custom message is only in the command line the report shows.
    const std::string& report = file.Report(0);
    const std::size_t custom = report.find("Something went wrong");
    const std::size_t parameters = report.find("\r\n  1.4 ");
    ASSERT_NE(parameters, std::string::npos);
    EXPECT_GT(custom, parameters);
    EXPECT_LT(custom, report.find("\r\n", parameters + 2));
    EXPECT_EQ(report.find("Something went wrong", custom + 1), std::string::npos) << report;
    // Without the module list the module is still named.
    EXPECT_EQ(file.ReadItem(0, "2.3").value_or(""), "crashers");
    EXPECT_EQ(file.ReadItem(0, "1.5").value_or(""), CompilationDateOf(CRASHERS_PROGRAM));
    EXPECT_NE(file.ReadItem(0, "1.5").value_or(""), "");

    // The XML holds the same message: the line ending in ":" is no item of its own.
    const std::string xml = LogFileXml(file, "");
    EXPECT_EQ(xml.find("Label=\"ending in colon\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("ID=\"2.6\" Label=\"Message\" Value=\"tab&#009;here, bell , escape ; a line "
                       "ending in colon:&#013;&#010;indented&#013;&#010;&#013;&#010;last.\""),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("ID=\"2.7\""), std::string::npos) << xml;
}

TEST_F(ReportFacts, EveryThreadCaptionNamesThePriorityOfItsThread) {
    const CrashRun run = Run({"std-thread", "--dialog", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    TLogFile file(log_, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    const auto captions = ThreadCaptions(file.Report(0));
    ASSERT_GE(captions.size(), 2u) << file.Report(0);
    for (const std::string& caption : captions) {
        EXPECT_TRUE(std::regex_search(caption, std::regex("; Priority=" + kPriorityName + "; ")))
            << caption;
    }
}

TEST_F(ReportFacts, AFaultOutsideAnyModuleHasTheMessageWithoutAModule) {
    const CrashRun run = Run({"outside-module", "--dialog", "0"});
    ASSERT_EQ(run.exitCode, 1) << run.errors;
    std::smatch code;
    ASSERT_TRUE(std::regex_search(run.output, code, std::regex("code at 0x([0-9a-f]+)")))
        << run.output;
    const std::uintptr_t page = std::stoull(code[1].str(), nullptr, 16);
    TLogFile file(log_, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.6").value_or(""), "Access violation at address " +
                                                        FormatAddress(page) +
                                                        ". Write of address 0000000000000000.");
    EXPECT_EQ(file.ReadItem(0, "2.3").value_or("?"), "");
}

// With "Count" hidden, the count of a duplicate goes after the last item its section shows.
TEST_F(ReportFacts, AHiddenCountWrittenBackFollowsTheLastItemOfItsSection) {
    const CrashRun run = Run({"handled", "--dialog", "0", "--count", "2", "--no-duplicates",
                              "--report-fields", "0xFFFFFFFFDFFF"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    TLogFile file(log_, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.8").value_or(""), "2");
    const std::string& report = file.Report(0);
    const std::size_t note = report.find("\r\n  2.10 Note ");
    const std::size_t count = report.find("\r\n  2.8 Count ");
    ASSERT_NE(note, std::string::npos) << report;
    ASSERT_NE(count, std::string::npos) << report;
    EXPECT_EQ(report.find("\r\n", note + 2), count) << report;
    EXPECT_EQ(report.substr(count, report.find(": ", count) - count).size(),
              report.substr(note, report.find(": ", note) - note).size())
        << "the separators line up";
}

// A slot of a real Qt window throws while a line edit holds the focus: every item of the general
// part has its value from the program, its window and this machine.
TEST_F(ReportFacts, AQtProgramsReportFillsEveryItemItsSourcesGive) {
    const CrashRun run = Run({"qt-form-slot", "--dialog", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    TLogFile file(log_, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    const std::map<std::string, std::string> expected{
        {"1.1", kDate},
        {"1.2", "crashers"},
        {"1.3", "(\\d+\\.\\d+\\.\\d+\\.\\d+)?"},
        {"1.4", "\"qt-form-slot\" \"--log\" \"" + log_.string() + "\" \"--dialog\" \"0\""},
        {"1.5", CompilationDateOf(CRASHERS_PROGRAM)},
        {"1.6", kDuration},
        {"2.1", kDate},
        {"2.2", "[0-9A-F]{16}"},
        {"2.3", "crashers"},
        {"2.4", "(\\d+\\.\\d+\\.\\d+\\.\\d+)?"},
        {"2.5", "std::runtime_error"},
        {"2.6", "escaped a slot\\."},
        {"2.7", "[0-9A-F]{4}"},
        {"2.8", "1"},
        {"2.9", "New"},
        {"2.10", ""},
        {"3.1", UserName()},
        {"3.2", ".*"},
        {"3.3", ""},
        {"3.4", ".*"},
        {"3.5", "(CAP_[A-Z0-9_]+ +- (ON|OFF)(\r\n)?)+"},
        {"4.1", "QWidget"},
        {"4.2", "Cadastro de teste"},
        {"4.3", "QLineEdit"},
        {"4.4", "digitado antes da falha, a\xE7\xE3o"}, // Windows-1252, as the report is
        {"5.1", HostName()},
        {"5.2", "\\d+ Mb"},
        {"5.3", "\\d+ Mb"},
        {"5.4", "\\d+(\\.\\d\\d?)? Gb"},
        {"5.5", "\\d+(\\.\\d\\d?)? Gb"},
        {"5.6", kDuration},
        {"5.7", ".+"},
        {"5.8", "[1-9]\\d* x [1-9]\\d*, [1-9]\\d* bit"},
        {"5.9", "[1-9]\\d*"},
        {"5.10", ""},
        {"5.11", ""},
        {"6.1", ".*"},
        {"6.2", "\\S+"},
        {"6.3", ".*"},
        {"6.4", "\\S+"},
        {"6.5", "\\d+"},
        {"7.1", kAdapters},
        {"7.2", kAdapters},
        {"7.3", kAdapters},
        {"7.4", kAdapters},
        {"7.5", kAdapters},
        {"7.6", "((ON|OFF)( +- (ON|OFF))*)?"},
    };
    for (const auto& [item, pattern] : expected) {
        const auto value = file.ReadItem(0, item);
        ASSERT_TRUE(value) << "no item " << item << " in\n" << file.Report(0);
        const bool literal = item == "1.4" || item == "1.5";
        if (literal) {
            EXPECT_EQ(*value, pattern) << item;
        } else {
            EXPECT_TRUE(std::regex_match(*value, std::regex(pattern)))
                << item << ": \"" << *value << "\" is not /" << pattern << "/";
        }
    }
    EXPECT_NE(file.ReadItem(0, "1.5").value_or(""), "");
    // The general part holds those items and no other.
    const std::string& report = file.Report(0);
    const std::regex itemLine("\r\n  (\\d+\\.\\d+) ");
    std::size_t items = 0;
    for (auto it = std::sregex_iterator(report.begin(), report.end(), itemLine);
         it != std::sregex_iterator(); ++it, ++items) {
        EXPECT_EQ(expected.count((*it)[1].str()), 1u) << (*it)[1].str();
    }
    EXPECT_EQ(items, expected.size());
}

} // namespace
} // namespace faulttrap::testing
