// The failures that used to hang a program or lose its report, each on the main thread and on a
// worker: every run ends in bounded time, with exactly one report of the right class, message,
// thread and faulting line in the log, and the right exit code.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

// A run ends this soon after its failure, or the promise is broken (the deadline is 10 s).
constexpr double kBoundedSeconds = 12;

struct MatrixCase {
    std::string name;
    std::vector<std::string> arguments; // the failure and its switches, without --log
    std::string exceptionClass;
    std::string messagePart;
    std::string faultMark; // the procedure whose marked line must be in the exception block
    std::string markSource = CRASHERS_SOURCE;
    int exitCode = 1;
    int workerExitCode = 1; // an exception escaping a worker ends only that thread: 0
    int faultRows = 1;      // rows that must show the marked line (one per faulting thread)
    bool outputReaderGone = false;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string errorsPart; // a text the standard error must hold
};

std::ostream& operator<<(std::ostream& out, const MatrixCase& crash) {
    return out << crash.name;
}

class CrashMatrix : public ::testing::TestWithParam<MatrixCase> {};

// FaultTrap's own code never shows in a call stack: some of the units whose frames lie between
// a failure and the report.
void ExpectNoOwnFrames(const std::string& stacks) {
    for (const char* unit : {"|activation.cpp", "|processing.cpp", "|fault_signals.cpp",
                             "|handler_guard.cpp", "|event_channel.cpp", "|dispatcher.cpp",
                             "|thread_hooks.cpp", "|fault_application.cpp", "|events.cpp"}) {
        EXPECT_EQ(stacks.find(unit), std::string::npos) << unit << " in\n" << stacks;
    }
}

TEST_P(CrashMatrix, EndsInBoundedTimeWithOneRightReport) {
    const MatrixCase& crash = GetParam();
    const auto folder = FreshFolder(crash.name);
    const auto log = folder / "crash.ftlog";
    std::vector<std::string> arguments = crash.arguments;
    arguments.insert(arguments.end(), {"--log", log.string()});
    CrashSettings settings;
    settings.outputReaderGone = crash.outputReaderGone;
    settings.environment = crash.environment;
    const CrashRun run = RunCrashers(arguments, settings);

    EXPECT_FALSE(run.timedOut);
    EXPECT_LT(run.seconds, kBoundedSeconds);
    EXPECT_FALSE(run.leftovers);
    EXPECT_EQ(run.signal, 0) << run.errors;
    EXPECT_EQ(run.exitCode, crash.exitCode) << run.errors;
    if (!crash.errorsPart.empty()) {
        EXPECT_NE(run.errors.find(crash.errorsPart), std::string::npos) << run.errors;
    }
    ASSERT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), crash.exceptionClass);
    const std::string message = file.ReadItem(0, "2.6").value_or("");
    EXPECT_NE(message.find(crash.messagePart), std::string::npos) << message;
    const std::string& report = file.Report(0);
    const std::size_t caption = report.find("*Exception Thread: ID=");
    ASSERT_NE(caption, std::string::npos) << report;
    const std::string captionLine = report.substr(caption, report.find('\n', caption) - caption);
    const bool worker =
        std::find(arguments.begin(), arguments.end(), "--worker") != arguments.end() ||
        crash.faultRows > 1;
    EXPECT_EQ(captionLine.find("[Main]") != std::string::npos, !worker) << captionLine;
    // The exception block shows the faulting line; with several faulting threads each block
    // starts at its own fault.
    const int line = MarkedLine(crash.markSource, crash.faultMark);
    const std::size_t blockEnd = report.find("|Calling Thread", caption);
    const std::string block = report.substr(caption, blockEnd - caption);
    EXPECT_TRUE(StackShows(block, crash.faultMark, line))
        << "no " << crash.faultMark << " at line " << line << " in\n"
        << block;
    const std::size_t stack = report.find("Call Stack Information:");
    const std::string stacks =
        report.substr(stack, report.find("Modules Information", stack) - stack);
    EXPECT_GE(CountStackRows(report, crash.faultMark, line), crash.faultRows) << stacks;
    // Every thread that faulted has a block captioned as an exception's thread.
    int exceptionBlocks = 0;
    for (std::size_t at = stacks.find("|*Exception Thread"); at != std::string::npos;
         at = stacks.find("|*Exception Thread", at + 1)) {
        ++exceptionBlocks;
    }
    EXPECT_EQ(exceptionBlocks, crash.faultRows) << stacks;
    ExpectNoOwnFrames(stacks);
    std::filesystem::remove_all(folder);
}

std::vector<MatrixCase> BothThreads(const MatrixCase& crash) {
    MatrixCase worker = crash;
    worker.name += "_worker";
    worker.arguments.push_back("--worker");
    worker.exitCode = crash.workerExitCode;
    MatrixCase main = crash;
    main.name += "_main";
    return {main, worker};
}

MatrixCase Kind(std::string name, std::vector<std::string> arguments, std::string exceptionClass,
                std::string messagePart, std::string faultMark) {
    MatrixCase crash;
    crash.name = std::move(name);
    crash.arguments = std::move(arguments);
    crash.exceptionClass = std::move(exceptionClass);
    crash.messagePart = std::move(messagePart);
    crash.faultMark = std::move(faultMark);
    return crash;
}

std::vector<MatrixCase> Matrix() {
    std::vector<MatrixCase> kinds;
    // A fault inside printf, which holds the lock of stdout: the console report of the
    // default dialog type, and the end without a dialog, must not wait for that lock.
    kinds.push_back(Kind("stdio_console", std::vector<std::string>{"stdio-fault"},
                         "EAccessViolation", "Read of address 0000000000000010",
                         "FaultInsideStdio"));
    kinds.push_back(Kind("stdio_silent", std::vector<std::string>{"stdio-fault", "--dialog", "0"},
                         "EAccessViolation", "Read of address 0000000000000010",
                         "FaultInsideStdio"));
    // malloc aborts on a block freed twice while it holds its arena's lock.
    kinds.push_back(Kind("malloc", std::vector<std::string>{"malloc-fault", "--dialog", "0"},
                         "EExternalException", "SIGABRT", "CorruptHeap"));
    kinds.push_back(Kind("sent_signal", std::vector<std::string>{"sent-signal", "--dialog", "0"},
                         "EAccessViolation", "Signal SIGSEGV sent by process ",
                         "WaitForSentSignal"));
    kinds.push_back(Kind("eight_threads",
                         std::vector<std::string>{"eight-threads", "--dialog", "0"},
                         "EAccessViolation", "Write of address 0000000000000000", "NullWrite"));
    kinds.back().faultRows = 8;
    kinds.push_back(Kind("library_function",
                         std::vector<std::string>{"library-fault", "--dialog", "0"},
                         "EAccessViolation", "in module 'libcrash_library.so'", "CrashInLibrary"));
    kinds.back().markSource = CRASH_LIBRARY_SOURCE;
    // The initialiser faults while the dynamic loader holds its lock.
    kinds.push_back(Kind(
        "library_initialiser", std::vector<std::string>{"library-initialiser", "--dialog", "0"},
        "EAccessViolation", "in module 'libcrash_initialiser.so'", "OpenFaultingLibrary"));
    kinds.push_back(
        Kind("handler_faults_on_fault",
             std::vector<std::string>{"null-write", "--dialog", "0", "--handler", "fault"},
             "EAccessViolation", "Write of address 0000000000000000", "NullWrite"));
    kinds.back().errorsPart = "[ExceptionNotify] EAccessViolation: Access violation";
    kinds.push_back(
        Kind("handler_faults_on_exception",
             std::vector<std::string>{"out-of-range", "--dialog", "0", "--handler", "fault"},
             "std::out_of_range", "vector::_M_range_check", "OutOfRange"));
    kinds.back().errorsPart = "[ExceptionNotify] EAccessViolation: Access violation";
    kinds.back().workerExitCode = 0;
    kinds.push_back(
        Kind("handler_throws_on_fault",
             std::vector<std::string>{"divide-by-zero", "--dialog", "0", "--handler", "throw"},
             "EZeroDivide", "Division by zero", "DivideByZero"));
    kinds.back().errorsPart = "[ExceptionNotify] std::runtime_error: the handler gave up";
    // The deadline ends the process; the report is in the log all the same.
    kinds.push_back(Kind("handler_sleeps_on_fault",
                         std::vector<std::string>{"null-write", "--dialog", "0", "--handler",
                                                  "sleep", "--deadline", "3"},
                         "EAccessViolation", "Write of address 0000000000000000", "NullWrite"));
    // "program | true": the console report fails, the log is still written.
    kinds.push_back(Kind("console_reader_gone", std::vector<std::string>{"null-write"},
                         "EAccessViolation", "Write of address 0000000000000000", "NullWrite"));
    kinds.back().outputReaderGone = true;
    kinds.back().errorsPart = "Code: eeShowError";
    kinds.push_back(Kind("console_reader_gone_exception", std::vector<std::string>{"out-of-range"},
                         "std::out_of_range", "vector::_M_range_check", "OutOfRange"));
    kinds.back().outputReaderGone = true;
    kinds.back().errorsPart = "Code: eeShowError";
    kinds.back().workerExitCode = 0;
    kinds.push_back(Kind("cgi_reader_gone", std::vector<std::string>{"null-write"},
                         "EAccessViolation", "Write of address 0000000000000000", "NullWrite"));
    kinds.back().outputReaderGone = true;
    kinds.back().environment = {{"REQUEST_METHOD", "GET"}};
    kinds.back().errorsPart = "CGI: Cannot write in the ouput file.";
    std::vector<MatrixCase> cases;
    for (const MatrixCase& kind : kinds) {
        for (const MatrixCase& crash : BothThreads(kind)) {
            cases.push_back(crash);
        }
    }
    return cases;
}

// The stack of a worker is scanned up to its start routine, not over the thread's own storage
// above it, where FaultTrap keeps its record of the thread's last raise: the raise shows once.
TEST(CrashMatrixStacks, AWorkerBlockShowsItsRaiseOnce) {
    const auto folder = FreshFolder("worker-block");
    const auto log = folder / "crash.ftlog";
    const CrashRun run = RunCrashers({"std-thread", "--log", log.string(), "--dialog", "0"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    const std::string& report = file.Report(0);
    const std::size_t caption = report.find("*Exception Thread: ID=");
    ASSERT_NE(caption, std::string::npos) << report;
    const std::string block =
        report.substr(caption, report.find("|Calling Thread", caption) - caption);
    EXPECT_EQ(CountStackRows(block, "ThrowRuntimeError", FaultLine("ThrowRuntimeError")), 1)
        << block;
    ExpectNoOwnFrames(block);
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Failures, CrashMatrix, ::testing::ValuesIn(Matrix()),
                         [](const ::testing::TestParamInfo<MatrixCase>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace faulttrap::testing
