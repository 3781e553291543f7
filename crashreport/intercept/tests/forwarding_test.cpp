// A library that carries FaultTrap, loaded by a program that carries it too, forwards its
// exceptions to the program: one report in the program's log, and the library's own handlers
// hear of the exceptions that lie in its code before the program's handlers do.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

struct ForwardingCase {
    std::string mode;
    int exitCode;
    bool libraryOptions; // the library sets its own log folder
};

std::ostream& operator<<(std::ostream& out, const ForwardingCase& forwarding) {
    return out << forwarding.mode << (forwarding.libraryOptions ? " with library options" : "");
}

class ForwardingTest : public ::testing::TestWithParam<ForwardingCase> {};

TEST_P(ForwardingTest, LibraryExceptionIsReportedOnceByTheProgram) {
    const auto folder = FreshFolder("forwarding-" + GetParam().mode);
    const auto libraryFolder = folder / "library";
    std::filesystem::create_directories(libraryFolder);
    std::vector<std::string> arguments{folder.string() + "/", FORWARDING_LIBRARY, GetParam().mode};
    if (GetParam().libraryOptions) {
        arguments.push_back(libraryFolder.string() + "/");
    }
    const CrashRun run = RunProgram(FORWARDING_HOST_PROGRAM, arguments);
    EXPECT_FALSE(run.leftovers);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.output << run.errors;
    EXPECT_NE(run.output.find("library forwards: 1\n"), std::string::npos) << run.output;
    const std::size_t library = run.output.find("library notified: failed in the library\n");
    const std::size_t program = run.output.find("program notified\n");
    ASSERT_NE(library, std::string::npos) << run.output;
    EXPECT_LT(library, program) << run.output;
    EXPECT_EQ(run.output.find("library notified", library + 1), std::string::npos) << run.output;

    // The options of the module holding the exception are in force: its log folder, when set.
    const auto log = (GetParam().libraryOptions ? libraryFolder : folder) / "forwarding_host.ftlog";
    EXPECT_EQ(std::filesystem::exists(folder / "forwarding_host.ftlog"),
              !GetParam().libraryOptions);
    ASSERT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), "std::runtime_error");
    EXPECT_EQ(file.ReadItem(0, "2.3").value_or(""),
              std::filesystem::path(FORWARDING_LIBRARY).filename().string());
    const std::string& report = file.Report(0);
    // The library's handler answered the custom data request of the program's processing.
    EXPECT_NE(report.find("Reported by: the library"), std::string::npos) << report;
    const std::string row =
        "|" + std::to_string(MarkedLine(FORWARDING_LIBRARY_SOURCE, "FailInLibrary")) + "[";
    std::size_t at = report.find("FailInLibrary");
    EXPECT_NE(at, std::string::npos) << report;
    EXPECT_NE(report.find(row, at), std::string::npos) << report;
    std::filesystem::remove_all(folder);
}

// Reported by the library's own catch block, the program goes on; escaping the library, the
// exception ends the program.
INSTANTIATE_TEST_SUITE_P(Library, ForwardingTest,
                         ::testing::Values(ForwardingCase{"handled", 0, false},
                                           ForwardingCase{"unhandled", 1, false},
                                           ForwardingCase{"handled", 0, true}));

// The report resolves the library's encrypted debug information with the password the
// library's own handler gives through its exported entry (found without the dynamic loader).
TEST(ForwardingTest, AnEncryptedLibraryGivesThePasswordOfItsDebugInformation) {
    const auto folder = FreshFolder("forwarding-encrypted");
    const CrashRun run = RunProgram(
        FORWARDING_HOST_PROGRAM, {folder.string() + "/", FORWARDING_ENCRYPTED_LIBRARY, "handled"});
    EXPECT_EQ(run.exitCode, 0) << run.output << run.errors;
    const auto log = folder / "forwarding_host.ftlog";
    ASSERT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    const std::string& report = file.Report(0);
    const std::string row =
        "|" + std::to_string(MarkedLine(FORWARDING_LIBRARY_SOURCE, "FailInLibrary")) + "[";
    const std::size_t at = report.find("|FailInLibrary");
    ASSERT_NE(at, std::string::npos) << report;
    EXPECT_NE(report.find(row, at), std::string::npos) << report;
    EXPECT_NE(report.find("forwarding_library.cpp"), std::string::npos) << report;
    std::filesystem::remove_all(folder);
}

TEST(ForwardingTest, LibraryInAProgramWithoutFaultTrapReportsByItself) {
    const auto folder = FreshFolder("forwarding-plain");
    const CrashRun run =
        RunProgram(PLAIN_HOST_PROGRAM, {folder.string() + "/", FORWARDING_LIBRARY});
    EXPECT_FALSE(run.leftovers);
    EXPECT_EQ(run.exitCode, 0) << run.output << run.errors;
    EXPECT_NE(run.output.find("library forwards: 0\nlibrary notified: failed in the library\n"
                              "program goes on\n"),
              std::string::npos)
        << run.output;
    const auto log =
        folder / (std::filesystem::path(FORWARDING_LIBRARY).stem().string() + ".ftlog");
    ASSERT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), "std::runtime_error");
    EXPECT_NE(file.Report(0).find("Reported by: the library"), std::string::npos) << file.Report(0);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace faulttrap::testing
