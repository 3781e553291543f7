// A memory tracker reports the blocks a program never gave back through the leak entry points:
// one EMemoryLeak report whose call stack is made of the leaks; a block given back twice is
// reported as EMultiFree.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <string>

namespace faulttrap::testing {
namespace {

// The call-stack row of `procedure` at its marked line in the tracker's source.
bool StackRowAt(const std::string& report, const std::string& procedure) {
    const std::string cell = "|" + std::to_string(MarkedLine(LEAK_TRACKER_SOURCE, procedure)) + "[";
    for (std::size_t start = 0, end; (end = report.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string row = report.substr(start, end - start);
        if (row.find(procedure) != std::string::npos && row.find(cell) != std::string::npos) {
            return true;
        }
    }
    return false;
}

struct Tracked {
    std::filesystem::path folder;
    CrashRun run;
    std::filesystem::path log;
};

Tracked RunTracker(const std::string& mode) {
    Tracked tracked;
    tracked.folder = FreshFolder("leaks-" + mode);
    tracked.run = RunProgram(LEAK_TRACKER_PROGRAM, {tracked.folder.string() + "/", mode});
    tracked.log = tracked.folder / "leak_tracker.ftlog";
    return tracked;
}

TEST(LeakTest, LeaksMakeOneReportWithABlockPerLeak) {
    const Tracked tracked = RunTracker("leaks");
    EXPECT_EQ(tracked.run.exitCode, 0) << tracked.run.errors;
    EXPECT_FALSE(tracked.run.leftovers);
    ASSERT_TRUE(std::filesystem::exists(tracked.log)) << tracked.run.output << tracked.run.errors;
    TLogFile file(tracked.log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), "EMemoryLeak");
    // The block given back is not counted; the message ends in a full stop like every other.
    EXPECT_EQ(file.ReadItem(0, "2.6").value_or(""), "Memory Leak: Total size=148 - Count=4.");
    const std::string& report = file.Report(0);
    EXPECT_NE(report.find("|+Memory Leak: Type=TRecord; Total size=48; Count=3 "),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("|+Memory Leak: Type=Data; Total size=100; Count=1 "), std::string::npos)
        << report;
    EXPECT_TRUE(StackRowAt(report, "AllocateRecords")) << report;
    EXPECT_TRUE(StackRowAt(report, "AllocateBuffer")) << report;
    // A leak has no code or registers to show.
    EXPECT_NE(report.find("Assembler Information:\r\n" + std::string(22, '-') + "\r\n\r\n"),
              std::string::npos)
        << report;
    std::filesystem::remove_all(tracked.folder);
}

TEST(LeakTest, NoLeakNoReport) {
    const Tracked tracked = RunTracker("no-leaks");
    EXPECT_EQ(tracked.run.exitCode, 0) << tracked.run.errors;
    EXPECT_FALSE(std::filesystem::exists(tracked.log));
    std::filesystem::remove_all(tracked.folder);
}

TEST(LeakTest, BlockGivenBackTwiceIsReportedWhereItHappened) {
    const Tracked tracked = RunTracker("double-free");
    EXPECT_EQ(tracked.run.exitCode, 1) << tracked.run.errors;
    ASSERT_TRUE(std::filesystem::exists(tracked.log)) << tracked.run.output << tracked.run.errors;
    TLogFile file(tracked.log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    EXPECT_EQ(file.ReadItem(0, "2.5").value_or(""), "EMultiFree");
    EXPECT_TRUE(StackRowAt(file.Report(0), "FreeTwice")) << file.Report(0);
    std::filesystem::remove_all(tracked.folder);
}

} // namespace
} // namespace faulttrap::testing
