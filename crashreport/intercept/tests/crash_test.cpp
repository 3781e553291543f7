// Every failure of the crash test program gives one report with the right class, message,
// thread block and faulting place, the right exit code, and leaves nothing running.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

struct CrashCase {
    std::string failure;
    bool worker;
    std::string exceptionClass;
    std::string messagePart;
    std::string faultMark; // the procedure whose marked line must be in the call stack
    int exitCode;
};

std::ostream& operator<<(std::ostream& out, const CrashCase& crash) {
    return out << crash.failure << (crash.worker ? " on a worker" : " on the main thread");
}

std::string CaseName(const ::testing::TestParamInfo<CrashCase>& info) {
    std::string name = info.param.failure + (info.param.worker ? "_worker" : "_main");
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

class CrashTest : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashTest, GivesOneReportAndTheRightEnd) {
    const CrashCase& crash = GetParam();
    const auto folder = FreshFolder(CaseName({crash, 0}));
    const auto log = folder / "crash.ftlog";
    std::vector<std::string> arguments{crash.failure, "--log", log.string(), "--dialog", "0"};
    if (crash.worker) {
        arguments.push_back("--worker");
    }
    const CrashRun run = RunCrashers(arguments);

    EXPECT_FALSE(run.timedOut);
    EXPECT_FALSE(run.leftovers);
    EXPECT_EQ(run.signal, 0) << run.errors;
    EXPECT_EQ(run.exitCode, crash.exitCode) << run.errors;
    ASSERT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), crash.exceptionClass);
    EXPECT_NE(file.ReadItem(0, "2.6").value_or("").find(crash.messagePart), std::string::npos)
        << file.ReadItem(0, "2.6").value_or("");
    const std::string& report = file.Report(0);
    const std::size_t caption = report.find("*Exception Thread: ID=");
    ASSERT_NE(caption, std::string::npos) << report;
    const std::string captionLine = report.substr(caption, report.find('\n', caption) - caption);
    const bool onMainThread =
        !crash.worker && crash.failure != "std-thread" && crash.failure != "raw-pthread";
    EXPECT_EQ(captionLine.find("[Main]") != std::string::npos, onMainThread) << captionLine;
    EXPECT_TRUE(StackShows(report, crash.faultMark, FaultLine(crash.faultMark)))
        << "no " << crash.faultMark << " at line " << FaultLine(crash.faultMark) << " in\n"
        << report;
    std::filesystem::remove_all(folder);
}

// An unhandled exception or an operating-system fault ends the program with exit code 1; an
// exception escaping a thread ends only that thread, and the program goes on to exit code 0.
INSTANTIATE_TEST_SUITE_P(
    Failures, CrashTest,
    ::testing::Values(
        CrashCase{"null-write", false, "EAccessViolation", "Write of address 0000000000000000",
                  "NullWrite", 1},
        CrashCase{"null-write", true, "EAccessViolation", "Write of address", "NullWrite", 1},
        CrashCase{"read-unmapped", false, "EAccessViolation", "Read of address 0000000000000010",
                  "ReadUnmapped", 1},
        CrashCase{"read-unmapped", true, "EAccessViolation", "Read of address", "ReadUnmapped", 1},
        CrashCase{"stack-overflow", false, "EStackOverflow", "Stack overflow", "Recurse", 1},
        CrashCase{"stack-overflow", true, "EStackOverflow", "Stack overflow", "Recurse", 1},
        CrashCase{"divide-by-zero", false, "EZeroDivide", "Division by zero", "DivideByZero", 1},
        CrashCase{"divide-by-zero", true, "EZeroDivide", "Division by zero", "DivideByZero", 1},
        CrashCase{"abort", false, "EExternalException", "SIGABRT", "Abort", 1},
        CrashCase{"abort", true, "EExternalException", "SIGABRT", "Abort", 1},
        CrashCase{"out-of-range", false, "std::out_of_range", "vector::_M_range_check",
                  "OutOfRange", 1},
        CrashCase{"noexcept-throw", false, "std::logic_error", "thrown inside noexcept",
                  "ThrowInNoexcept", 1},
        CrashCase{"noexcept-throw", true, "std::logic_error", "thrown inside noexcept",
                  "ThrowInNoexcept", 0},
        CrashCase{"std-thread", false, "std::runtime_error", "escaped the thread",
                  "ThrowRuntimeError", 0},
        CrashCase{"raw-pthread", false, "std::runtime_error", "escaped the thread",
                  "ThrowRuntimeError", 0},
        CrashCase{"qt-slot", false, "std::runtime_error", "escaped a slot", "ThrowInSlot", 0},
        CrashCase{"event-handler", false, "std::runtime_error", "handled number 0", "ReportHandled",
                  0},
        CrashCase{"event-handler", true, "std::runtime_error", "handled number 0", "ReportHandled",
                  0}),
    CaseName);

// The rows of the exception thread's block, from its caption to the rule that ends it.
std::vector<std::string> ExceptionThreadRows(const std::string& report) {
    std::vector<std::string> rows;
    std::size_t at = report.find("*Exception Thread: ID=");
    if (at == std::string::npos) {
        return rows;
    }
    at = report.find('\n', report.find('\n', at) + 1); // past the caption and its rule
    while (at != std::string::npos && at + 1 < report.size()) {
        const std::size_t end = report.find('\n', at + 1);
        const std::string line = report.substr(at + 1, end - at - 1);
        if (line.rfind("|--", 0) == 0) {
            break;
        }
        rows.push_back(line);
        at = end;
    }
    return rows;
}

// The thread's start keeps the start routine's address on the stack, and it follows the last
// call of the function before it in the file: it must not show as a call of that function.
TEST(CrashTest, AThreadsStartRoutineOnItsStackIsNoCall) {
    const auto folder = FreshFolder("start-routine");
    const auto log = folder / "crash.ftlog";
    const CrashRun run = RunCrashers({"raw-pthread", "--log", log.string(), "--dialog", "0"});
    ASSERT_TRUE(std::filesystem::exists(log)) << run.errors;
    const std::vector<std::string> rows =
        ExceptionThreadRows(TLogFile(log, LogFileAccess::ReadOnly).Report(0));
    const auto routine = std::find_if(rows.begin(), rows.end(), [](const std::string& row) {
        return row.find("|RawThreadRoutine ") != std::string::npos;
    });
    ASSERT_NE(routine, rows.end()) << ::testing::PrintToString(rows);
    for (auto row = routine; row != rows.end(); ++row) {
        EXPECT_EQ(row->find("|ThrowRuntimeError "), std::string::npos) << *row;
    }
    std::filesystem::remove_all(folder);
}

TEST(CrashTest, FrozenMainLoopGivesOneReportOfTheMainThread) {
    const auto folder = FreshFolder("frozen");
    const auto log = folder / "frozen.ftlog";
    const CrashRun run = RunCrashers(
        {"frozen-main-loop", "--log", log.string(), "--dialog", "0", "--freeze-timeout", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_FALSE(run.leftovers);
    ASSERT_TRUE(std::filesystem::exists(log)) << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), "EFrozenApplication");
    EXPECT_FALSE(file.ReadItem(0, "2.6").value_or("").empty());
    const std::string& report = file.Report(0);
    EXPECT_NE(report.find("[Main]"), std::string::npos);
    EXPECT_TRUE(StackShows(report, "FreezeMainLoop", FaultLine("FreezeMainLoop"))) << report;
    std::filesystem::remove_all(folder);
}

// FaultTrap cannot report a fault of its own code, but it says so on the standard error and
// ends the process as a terminated fault does (exit code 1), not by the signal.
TEST(CrashTest, AFaultOnFaultTrapsOwnThreadIsNamedAndEndsTheProcess) {
    const auto folder = FreshFolder("own-thread");
    const auto log = folder / "own.ftlog";
    const CrashRun run = RunCrashers({"own-thread-fault", "--log", log.string(), "--dialog", "0"});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.signal, 0) << run.errors;
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_FALSE(run.leftovers);
    EXPECT_NE(run.errors.find("FaultTrap: signal 11 at address "), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("in FaultTrap's own code (thread ID="), std::string::npos)
        << run.errors;
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace faulttrap::testing
