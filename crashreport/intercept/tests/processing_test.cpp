// The choices the processing makes for one exception, through the crash test program: filters,
// duplicates, the error flood, events that cancel or retry a step, terminate and restart.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

// How many reports the log holds; 0 when there is no log.
int ReportsIn(const std::filesystem::path& log) {
    if (!std::filesystem::exists(log)) {
        return 0;
    }
    return TLogFile(log, LogFileAccess::ReadOnly).Count();
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// One start of the program as the restart marker recorded it.
struct Start {
    std::string directory;
    std::string blockedSignals;
    std::vector<std::string> arguments;
};

std::vector<Start> StartsIn(const std::filesystem::path& marker) {
    std::vector<Start> starts;
    std::ifstream in(marker);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream fieldsOf(line);
        for (std::string field; std::getline(fieldsOf, field, '\t');) {
            fields.push_back(field);
        }
        if (fields.size() < 2) {
            continue;
        }
        starts.push_back({fields[0], fields[1], {fields.begin() + 2, fields.end()}});
    }
    return starts;
}

// A run with its own log in a fresh folder.
class ProcessingRun : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        log_ = folder_ / "crash.ftlog";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    CrashRun Run(const std::string& failure, std::vector<std::string> switches,
                 const CrashSettings& settings = {}) {
        std::vector<std::string> arguments{failure, "--log", log_.string(), "--dialog", "0"};
        arguments.insert(arguments.end(), switches.begin(), switches.end());
        CrashRun run = RunCrashers(arguments, settings);
        EXPECT_FALSE(run.timedOut);
        EXPECT_FALSE(run.leftovers);
        EXPECT_EQ(run.signal, 0) << run.errors;
        return run;
    }

    std::filesystem::path folder_;
    std::filesystem::path log_;
};

// ---------------------------------------------------------------------------------------------
// Filters: the first active filter whose class is the exception's class or an ancestor of it,
// and whose kind admits the exception, decides the handling.

struct FilterCase {
    std::string name;
    std::string failure;
    std::vector<std::string> switches;
    std::string filter; // CLASS,KIND,HANDLER,DIALOG,ACTION
    int reports;
    int exitCode;
    bool standardMessage; // the C++ library's own "terminate called" message
    bool reportOnOutput;  // the console output of a dialog
};

std::ostream& operator<<(std::ostream& out, const FilterCase& filter) {
    return out << filter.name;
}

class FilterTest : public ProcessingRun, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FilterTest, DecidesTheHandling) {
    const FilterCase& filter = GetParam();
    std::vector<std::string> switches = filter.switches;
    if (!filter.filter.empty()) {
        switches.push_back("--filter");
        switches.push_back(filter.filter);
    }
    const CrashRun run = Run(filter.failure, switches);
    EXPECT_EQ(ReportsIn(log_), filter.reports) << run.errors;
    EXPECT_EQ(run.exitCode, filter.exitCode) << run.errors;
    EXPECT_EQ(Contains(run.errors, "terminate called"), filter.standardMessage) << run.errors;
    EXPECT_EQ(Contains(run.output, "*Exception Thread: ID="), filter.reportOnOutput) << run.output;
}

const std::vector<std::string> kReportHandled{"--behaviour", "0x158"};

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    ::testing::Values(
        // std::out_of_range escapes main: without a filter FaultTrap reports it and the library's
        // own message is left out.
        FilterCase{"NoFilter", "out-of-range", {}, "", 1, 1, false, false},
        FilterCase{"IgnoresItsOwnClass",
                   "out-of-range",
                   {},
                   "std::out_of_range,0,0,1,0",
                   0,
                   1,
                   false,
                   false},
        FilterCase{"IgnoresADescendant",
                   "out-of-range",
                   {},
                   "std::logic_error,0,0,1,0",
                   0,
                   1,
                   false,
                   false},
        FilterCase{"IgnoresADescendantOfTheRoot",
                   "out-of-range",
                   {},
                   " STD::EXCEPTION ,0,0,1,0",
                   0,
                   1,
                   false,
                   false},
        FilterCase{"LeavesAnUnrelatedClassAlone",
                   "out-of-range",
                   {},
                   "std::runtime_error,0,0,1,0",
                   1,
                   1,
                   false,
                   false},
        FilterCase{"LeavesItToTheStandardHandler",
                   "out-of-range",
                   {},
                   "std::logic_error,0,1,1,0",
                   0,
                   1,
                   true,
                   false},
        FilterCase{
            "ProcessesIt", "out-of-range", {}, "std::logic_error,0,2,1,0", 1, 1, false, false},
        // Kinds: 1 only exceptions the program handles itself, 2 only unhandled ones.
        FilterCase{"HandledKindMissesAnUnhandledOne",
                   "out-of-range",
                   {},
                   "std::logic_error,1,0,1,0",
                   1,
                   1,
                   false,
                   false},
        FilterCase{"UnhandledKindTakesAnUnhandledOne",
                   "out-of-range",
                   {},
                   "std::logic_error,2,0,1,0",
                   0,
                   1,
                   false,
                   false},
        FilterCase{"HandledOneReportedWithoutFilter", "caught-silently", kReportHandled, "", 1, 0,
                   false, false},
        FilterCase{"HandledKindTakesAHandledOne", "caught-silently", kReportHandled,
                   "std::runtime_error,1,0,1,0", 0, 0, false, false},
        FilterCase{"UnhandledKindMissesAHandledOne", "caught-silently", kReportHandled,
                   "std::runtime_error,2,0,1,0", 1, 0, false, false},
        // Dialogs: 0 none, 1 the options' type (here none), 2 the message box, which a console
        // program writes to its output.
        FilterCase{"DialogOfTheOptions",
                   "out-of-range",
                   {},
                   "std::logic_error,0,2,1,0",
                   1,
                   1,
                   false,
                   false},
        FilterCase{
            "MessageBoxDialog", "out-of-range", {}, "std::logic_error,0,2,2,0", 1, 1, false, true},
        FilterCase{"NoDialog",
                   "out-of-range",
                   {"--dialog", "1"},
                   "std::logic_error,0,2,0,0",
                   1,
                   1,
                   false,
                   false},
        FilterCase{"NoFilterDialogOfTheOptions",
                   "out-of-range",
                   {"--dialog", "1"},
                   "",
                   1,
                   1,
                   false,
                   true}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return info.param.name; });

// ActionChoice 1: the program ends with exit code 1 after the first report.
TEST_F(ProcessingRun, FilterActionTerminatesAfterTheReport) {
    const CrashRun run = Run("handled", {"--count", "3", "--filter", "std::runtime_error,0,2,0,1"});
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(ReportsIn(log_), 1);
    EXPECT_FALSE(Contains(run.output, "notified"));
}

// ActionChoice 2: after the first report the program starts again, with the same arguments and
// in the directory it was started in, although it had left that directory.
TEST_F(ProcessingRun, FilterActionRestartsInTheStartUpDirectory) {
    const auto marker = folder_ / "starts.txt";
    const auto elsewhere = folder_ / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    CrashSettings settings;
    settings.directory = folder_;
    const CrashRun run = Run("handled",
                             {"--count", "3", "--filter", "std::runtime_error,0,2,0,2",
                              "--restart-marker", marker.string(), "--chdir", elsewhere.string()},
                             settings);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(ReportsIn(log_), 1);
    const std::vector<Start> starts = StartsIn(marker);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].directory, folder_.string());
    EXPECT_EQ(starts[1].arguments, starts[0].arguments);
    EXPECT_EQ(starts[1].arguments.at(0), "handled");
}

// A restart after a fault of the operating system: the new program must not inherit the signal
// mask of the fault handler, or its own faults would kill it unreported.
TEST_F(ProcessingRun, RestartAfterAFaultStartsWithNoSignalBlocked) {
    const auto marker = folder_ / "starts.txt";
    const CrashRun run = Run("null-write", {"--filter", "EAccessViolation,0,2,0,2",
                                            "--restart-marker", marker.string()});
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(ReportsIn(log_), 1);
    const std::vector<Start> starts = StartsIn(marker);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].blockedSignals, std::string(16, '0'));
}

// ---------------------------------------------------------------------------------------------
// NoDuplicateErrors: an exception of the same class from the same place raises the count of the
// report already in the log instead of adding one, also across runs of the program.

TEST_F(ProcessingRun, DuplicatesRaiseTheCountOfTheFirstReport) {
    const CrashRun run = Run("handled", {"--count", "3", "--no-duplicates"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(Contains(run.output, "notified 3"));
    ASSERT_EQ(ReportsIn(log_), 1);
    TLogFile log(log_, LogFileAccess::ReadOnly);
    EXPECT_EQ(log.ReadItem(0, "2.8").value_or(""), "3");
    EXPECT_TRUE(Contains(log.Report(0), "handled number 0"));
}

TEST_F(ProcessingRun, DuplicatesAreFoundInTheLogOfAnEarlierRun) {
    Run("handled", {"--no-duplicates"});
    Run("handled", {"--no-duplicates"});
    ASSERT_EQ(ReportsIn(log_), 1);
    EXPECT_EQ(TLogFile(log_, LogFileAccess::ReadOnly).ReadItem(0, "2.8").value_or(""), "2");
}

TEST_F(ProcessingRun, OtherPlacesAreNoDuplicates) {
    Run("handled", {"--no-duplicates"});
    Run("caught-silently", {"--no-duplicates", "--behaviour", "0x158"});
    ASSERT_EQ(ReportsIn(log_), 2);
    TLogFile log(log_, LogFileAccess::ReadOnly);
    EXPECT_NE(log.ReadItem(0, "2.7"), log.ReadItem(1, "2.7"));
}

TEST_F(ProcessingRun, WithoutTheOptionEveryReportIsKept) {
    Run("handled", {"--count", "3"});
    ASSERT_EQ(ReportsIn(log_), 3);
    TLogFile log(log_, LogFileAccess::ReadOnly);
    EXPECT_EQ(log.ReadItem(0, "2.7"), log.ReadItem(2, "2.7"));
}

// ---------------------------------------------------------------------------------------------
// The error flood: ErrorFloodCount errors (10 by default) within ErrorFloodMinutes (1) carry
// out ErrorFloodAction after the report of the last one.

struct FloodCase {
    std::string name;
    int errors;
    int action;
    int exitCode;
    int reports;
    std::size_t starts; // 2: restarted
    std::vector<std::string> switches = {};
};

std::ostream& operator<<(std::ostream& out, const FloodCase& flood) {
    return out << flood.name;
}

class FloodTest : public ProcessingRun, public ::testing::WithParamInterface<FloodCase> {};

TEST_P(FloodTest, ActsOnTheTenthErrorWithinAMinute) {
    const FloodCase& flood = GetParam();
    const auto marker = folder_ / "starts.txt";
    std::vector<std::string> switches{"--count",          std::to_string(flood.errors),
                                      "--flood-action",   std::to_string(flood.action),
                                      "--restart-marker", marker.string()};
    switches.insert(switches.end(), flood.switches.begin(), flood.switches.end());
    const CrashRun run = Run("handled", switches);
    EXPECT_EQ(run.exitCode, flood.exitCode) << run.errors;
    EXPECT_EQ(ReportsIn(log_), flood.reports);
    EXPECT_EQ(StartsIn(marker).size(), flood.starts);
}

INSTANTIATE_TEST_SUITE_P(
    Flood, FloodTest,
    ::testing::Values(
        FloodCase{"NinthGoesOn", 9, 2, 0, 9, 1}, FloodCase{"TenthRestarts", 10, 2, 1, 10, 2},
        FloodCase{"TenthTerminates", 10, 1, 1, 10, 1}, FloodCase{"NoActionGoesOn", 12, 0, 0, 12, 1},
        // The count and the window are the options'.
        FloodCase{"ThirdOfThreeRestarts", 3, 2, 1, 3, 2, {"--flood-count", "3"}},
        FloodCase{
            "TenthOutsideAZeroMinuteWindowGoesOn", 10, 2, 0, 10, 1, {"--flood-minutes", "0"}}),
    [](const ::testing::TestParamInfo<FloodCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Events.

// ExceptionNotify clearing HandleIt: no dialog, no log entry; the standard handling goes on.
TEST_F(ProcessingRun, ClearedHandleItGivesNothing) {
    const CrashRun run = Run("out-of-range", {"--clear-handle-it", "--dialog", "1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(log_));
    EXPECT_FALSE(Contains(run.output, "*Exception Thread: ID=")) << run.output;
    EXPECT_TRUE(Contains(run.errors, "terminate called")) << run.errors;
}

TEST_F(ProcessingRun, ClearedHandleItLetsTheProgramGoOn) {
    const CrashRun run = Run("handled", {"--count", "2", "--clear-handle-it", "--dialog", "1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(Contains(run.output, "notified 2")) << run.output;
    EXPECT_FALSE(Contains(run.output, "*Exception Thread: ID=")) << run.output;
    EXPECT_FALSE(std::filesystem::exists(log_));
}

// The log cannot be written at the first attempt, neither where it is configured nor in the
// user's data folder; ExceptionErrorNotify sets Retry after making the configured place
// writable again, and the report reaches the log.
TEST_F(ProcessingRun, ErrorNotifyRetriesTheLog) {
    const auto notAFolder = folder_ / "not-a-folder";
    std::ofstream(notAFolder) << "a file\n";
    CrashSettings settings;
    settings.environment = {{"XDG_DATA_HOME", notAFolder.string()}};
    const CrashRun run = Run("handled", {"--retry-log"}, settings);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const std::string notice = "error notify eeLogError";
    const std::size_t first = run.output.find(notice);
    ASSERT_NE(first, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(notice, first + 1), std::string::npos) << run.output;
    EXPECT_EQ(ReportsIn(log_), 1);
    EXPECT_TRUE(Contains(run.errors, "[WARNING] - Code: eeLogError")) << run.errors;
}

} // namespace
} // namespace faulttrap::testing
