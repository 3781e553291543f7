#include "crashreport/report/log_operations.h"

#include "crashreport/report/tests/sample_report.h"
#include "crashreport/report/tests/temporary_folder.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

using testing::SampleReport;
using testing::TemporaryFolder;

class LogOperationsTest : public ::testing::Test {
protected:
    LogOperationsTest() {
        settings.noDuplicateErrors = true;
        settings.newLogOnVersionChange = true;
    }

    TemporaryFolder folder;
    LogLocation location{folder / "app.ftlog", folder / "fallback" / "app.ftlog"};
    ReportSettings settings;

    int Count() const { return OpenLogFile(location, LogFileAccess::ReadOnly)->Count(); }
    std::optional<std::string> Item(int position, const char* item) const {
        return OpenLogFile(location, LogFileAccess::ReadOnly)->ReadItem(position, item);
    }
};

TEST_F(LogOperationsTest, ASecondIdenticalExceptionRaisesTheCountInsteadOfAddingAReport) {
    SampleReport first;
    SampleReport other;
    other.id = "FFFF";
    EXPECT_FALSE(CountDuplicateReport(settings, location, first.id, "Count")) << "no log yet";
    WriteReportToLog(settings, location, first.Text(), true);
    WriteReportToLog(settings, location, other.Text(), true);

    EXPECT_TRUE(CountDuplicateReport(settings, location, first.id, "Count"));
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Item(0, "2.8"), "2");
    EXPECT_EQ(Item(1, "2.8"), "1");
    EXPECT_TRUE(CountDuplicateReport(settings, location, first.id, "Count"));
    EXPECT_EQ(Item(0, "2.8"), "3");
    EXPECT_FALSE(CountDuplicateReport(settings, location, "0000", "Count"));
}

TEST_F(LogOperationsTest, AHiddenOrGarbledCountStartsFromOne) {
    SampleReport hidden;
    hidden.showCount = false;
    WriteReportToLog(settings, location, hidden.Text(), true);
    EXPECT_TRUE(CountDuplicateReport(settings, location, hidden.id, "Count"));
    EXPECT_EQ(Item(0, "2.8"), "2");
    {
        auto log = OpenLogFile(location, LogFileAccess::ReadWrite);
        log->WriteItem(0, "2.8", "many", "Count");
        log->Save();
    }
    EXPECT_TRUE(CountDuplicateReport(settings, location, hidden.id, "Count"));
    EXPECT_EQ(Item(0, "2.8"), "2");
}

TEST_F(LogOperationsTest, AnotherVersionStartsANewLog) {
    SampleReport old;
    old.version = "1.0.0.1";
    EXPECT_FALSE(DeleteLogOfOtherVersion(settings, location, "1.0.0.2")) << "no log yet";
    WriteReportToLog(settings, location, old.Text(), true);
    EXPECT_FALSE(DeleteLogOfOtherVersion(settings, location, "1.0.0.1"));
    EXPECT_TRUE(std::filesystem::exists(location.chosen));
    EXPECT_TRUE(DeleteLogOfOtherVersion(settings, location, "1.0.0.2"));
    EXPECT_FALSE(std::filesystem::exists(location.chosen));

    SampleReport unversioned;
    unversioned.version = "";
    WriteReportToLog(settings, location, unversioned.Text(), true);
    EXPECT_FALSE(DeleteLogOfOtherVersion(settings, location, "1.0.0.2"))
        << "an empty version keeps it";
}

TEST_F(LogOperationsTest, SwitchedOffOptionsLeaveTheLogAlone) {
    SampleReport old;
    old.version = "1.0.0.1";
    WriteReportToLog(settings, location, old.Text(), true);
    ReportSettings off;
    EXPECT_FALSE(CountDuplicateReport(off, location, old.id, "Count"));
    EXPECT_FALSE(DeleteLogOfOtherVersion(off, location, "2.0.0.0"));
    EXPECT_EQ(Item(0, "2.8"), "1");
    EXPECT_EQ(WriteReportToLog(off, location, old.Text(), true), std::nullopt)
        << "the whole log is given only for SendEntireLog";
    EXPECT_EQ(Count(), 2);
}

TEST_F(LogOperationsTest, WritingGivesTheWholeLogAndSavesOnlyWhenAsked) {
    settings.sendEntireLog = true;
    const auto whole = WriteReportToLog(settings, location, SampleReport().Text(), false);
    EXPECT_EQ(whole, testing::Stored(SampleReport().Text()) + "\r\n");
    EXPECT_EQ(Count(), 0) << "the file was created but nothing saved";
    ReportSettings limited;
    limited.maxLogEntries = 1;
    WriteReportToLog(limited, location, SampleReport().Text(), true);
    WriteReportToLog(limited, location, SampleReport().Text(), true);
    EXPECT_EQ(Count(), 1);
}

} // namespace
} // namespace faulttrap
