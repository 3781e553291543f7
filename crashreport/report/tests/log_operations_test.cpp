#include "crashreport/report/log_operations.h"

#include "sample_report.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

using testing::SampleReport;
using testing::TemporaryFolder;

class LogOperationsTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    LogLocation location{folder / "app.ftlog", folder / "fallback" / "app.ftlog"};

    int Count() const { return OpenLogFile(location, LogFileAccess::ReadOnly)->Count(); }
    std::optional<std::string> Item(int position, const char* item) const {
        return OpenLogFile(location, LogFileAccess::ReadOnly)->ReadItem(position, item);
    }
};

TEST_F(LogOperationsTest, ASecondIdenticalExceptionRaisesTheCountInsteadOfAddingAReport) {
    SampleReport first;
    SampleReport other;
    other.id = "FFFF";
    EXPECT_FALSE(CountDuplicateReport(location, first.id, "Count")) << "no log yet";
    WriteReportToLog(location, first.Text(), 32, true);
    WriteReportToLog(location, other.Text(), 32, true);

    EXPECT_TRUE(CountDuplicateReport(location, first.id, "Count"));
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Item(0, "2.8"), "2");
    EXPECT_EQ(Item(1, "2.8"), "1");
    EXPECT_TRUE(CountDuplicateReport(location, first.id, "Count"));
    EXPECT_EQ(Item(0, "2.8"), "3");
    EXPECT_FALSE(CountDuplicateReport(location, "0000", "Count"));
}

TEST_F(LogOperationsTest, AHiddenOrGarbledCountStartsFromOne) {
    SampleReport hidden;
    hidden.showCount = false;
    WriteReportToLog(location, hidden.Text(), 32, true);
    EXPECT_TRUE(CountDuplicateReport(location, hidden.id, "Count"));
    EXPECT_EQ(Item(0, "2.8"), "2");
    {
        auto log = OpenLogFile(location, LogFileAccess::ReadWrite);
        log->WriteItem(0, "2.8", "many", "Count");
        log->Save();
    }
    EXPECT_TRUE(CountDuplicateReport(location, hidden.id, "Count"));
    EXPECT_EQ(Item(0, "2.8"), "2");
}

TEST_F(LogOperationsTest, AnotherVersionStartsANewLog) {
    SampleReport old;
    old.version = "1.0.0.1";
    EXPECT_FALSE(DeleteLogOfOtherVersion(location, "1.0.0.2")) << "no log yet";
    WriteReportToLog(location, old.Text(), 32, true);
    EXPECT_FALSE(DeleteLogOfOtherVersion(location, "1.0.0.1"));
    EXPECT_TRUE(std::filesystem::exists(location.chosen));
    EXPECT_TRUE(DeleteLogOfOtherVersion(location, "1.0.0.2"));
    EXPECT_FALSE(std::filesystem::exists(location.chosen));

    SampleReport unversioned;
    unversioned.version = "";
    WriteReportToLog(location, unversioned.Text(), 32, true);
    EXPECT_FALSE(DeleteLogOfOtherVersion(location, "1.0.0.2")) << "an empty version keeps it";
}

TEST_F(LogOperationsTest, WritingReturnsTheWholeLogAndSavesOnlyWhenAsked) {
    const std::string whole = WriteReportToLog(location, SampleReport().Text(), 32, false);
    EXPECT_EQ(whole, testing::Stored(SampleReport().Text()) + "\r\n");
    EXPECT_EQ(Count(), 0) << "the file was created but nothing saved";
    WriteReportToLog(location, SampleReport().Text(), 1, true);
    WriteReportToLog(location, SampleReport().Text(), 1, true);
    EXPECT_EQ(Count(), 1);
}

} // namespace
} // namespace faulttrap
