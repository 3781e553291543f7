#include "crashreport/report/log_file.h"

#include "crashreport/report/tests/sample_report.h"
#include "crashreport/report/tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace faulttrap {
namespace {

using testing::ReadFile;
using testing::SampleReport;
using testing::Stored;
using testing::TemporaryFolder;
using testing::WriteFile;

std::string ReportWithId(int id) {
    SampleReport report;
    report.id = std::to_string(id);
    return report.Text();
}

TEST(LogFile, ReportsSurviveSavingAndLoadingWithTheirItems) {
    TemporaryFolder folder;
    SampleReport sample;
    sample.message = "First line: with colon\r\n\r\nthird line.";
    {
        TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
        log.Append(sample.Text(), 32);
        log.Append(ReportWithId(2), 32);
        log.Save();
    }
    const TLogFile log(folder / "app.ftlog", LogFileAccess::ReadOnly);
    ASSERT_EQ(log.Count(), 2);
    EXPECT_EQ(log.ReadItem(0, "2.6"), sample.message);
    EXPECT_EQ(log.ReadItem(0, "3.2"), std::nullopt) << "a hidden item is not in the text";
    EXPECT_EQ(log.ReadItem(0, "3.3"), sample.privileges);
    EXPECT_EQ(log.ReadItem(0, "1.3"), "1.2.0.7");
    EXPECT_EQ(log.ReadItem(0, "2.10"), "") << "2.10 is not 2.1";
    EXPECT_EQ(log.ReadItem(0, "2.1"), "Tue, 8 Dec 2026 14:05:10 -0300");
    EXPECT_EQ(log.ReadItem(1, "2.7"), "2");
    EXPECT_EQ(log.Report(0), Stored(sample.Text()))
        << "a report is kept whole, ended by three line breaks";
}

TEST(LogFile, ValuesOfOneLineKeepWhatTheyHold) {
    TemporaryFolder folder;
    SampleReport sample;
    sample.message = "Path: C:\\x.txt not found.";
    TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
    log.Append(sample.Text(), -1);
    EXPECT_EQ(log.ReadItem(0, "2.6"), sample.message);
}

TEST(LogFile, AppendingKeepsAtMostTheLimit) {
    TemporaryFolder folder;
    TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
    for (int id = 1; id <= 32; ++id) {
        log.Append(ReportWithId(id), 32);
    }
    ASSERT_EQ(log.Count(), 32);
    log.Append(ReportWithId(33), 32);
    ASSERT_EQ(log.Count(), 32);
    EXPECT_EQ(log.ReadItem(0, "2.7"), "2");
    EXPECT_EQ(log.ReadItem(31, "2.7"), "33");

    log.Append(ReportWithId(34), -1);
    EXPECT_EQ(log.Count(), 33);
    log.Append(ReportWithId(35), 3);
    ASSERT_EQ(log.Count(), 3);
    EXPECT_EQ(log.ReadItem(0, "2.7"), "33");
    log.Append(ReportWithId(36), 0);
    ASSERT_EQ(log.Count(), 1) << "a limit below 1 still keeps the new report";
    EXPECT_EQ(log.ReadItem(0, "2.7"), "36");
}

TEST(LogFile, LoneLineEndsAreRepairedAndSavedAsCrLf) {
    for (const std::string lone : {"\n", "\r"}) {
        TemporaryFolder folder;
        std::string text = ReportWithId(7) + "\r\n\r\n\r\n" + ReportWithId(8);
        std::string bare;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "\r\n") == 0) {
                bare += lone;
                ++i;
            } else {
                bare += text[i];
            }
        }
        WriteFile(folder / "app.ftlog", bare);

        TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
        ASSERT_EQ(log.Count(), 2);
        EXPECT_EQ(log.ReadItem(1, "2.7"), "8");
        EXPECT_EQ(log.ReadItem(0, "3.3"), SampleReport().privileges);
        log.Save();
        const std::string saved = ReadFile(folder / "app.ftlog");
        std::size_t crs = 0;
        std::size_t lfs = 0;
        for (std::size_t i = 0; i < saved.size(); ++i) {
            crs += saved[i] == '\r';
            lfs += saved[i] == '\n';
            if (saved[i] == '\r') {
                ASSERT_EQ(saved[i + 1], '\n') << "at " << i;
            }
        }
        EXPECT_EQ(crs, lfs);
        EXPECT_EQ(saved, Stored(ReportWithId(7)) + "\r\n" + Stored(ReportWithId(8)) + "\r\n");
    }
}

TEST(LogFile, AFileThatIsNoLogHoldsNoReportAndIsReplacedWhenSaved) {
    TemporaryFolder folder;
    WriteFile(folder / "notes.ftlog", "Shopping list:\r\n- milk\r\n\r\n\r\n\r\n- bread\r\n");
    TLogFile log(folder / "notes.ftlog", LogFileAccess::ReadWrite);
    EXPECT_EQ(log.Count(), 0);
    log.Append(ReportWithId(1), 32);
    log.Save();
    EXPECT_EQ(ReadFile(folder / "notes.ftlog"), Stored(ReportWithId(1)) + "\r\n");
}

TEST(LogFile, AReportWithThreeEmptyLinesInsideIsNotSplitApart) {
    TemporaryFolder folder;
    {
        TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
        log.Append("FaultTrap 6.0.6\r\n\r\n\r\n\r\n\r\n" + ReportWithId(4), 32);
        log.Save();
    }
    const TLogFile log(folder / "app.ftlog", LogFileAccess::ReadOnly);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.ReadItem(0, "2.7"), "4");
}

TEST(LogFile, FindGivesTheLastReportThatMatchesAnyPair) {
    TemporaryFolder folder;
    TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
    SampleReport multiLine;
    multiLine.id = "9";
    multiLine.message = "one: two\r\nthree";
    log.Append(ReportWithId(5), -1);
    log.Append(multiLine.Text(), -1);
    log.Append(ReportWithId(5), -1);
    log.Append(ReportWithId(6), -1);

    EXPECT_EQ(log.Find({{"2.7", "5"}}), 2);
    EXPECT_EQ(log.Find({{"2.7", "5"}, {"2.7", "6"}}), 3);
    EXPECT_EQ(log.Find({{"2.6", "one: two\r\nthree"}}), 1);
    EXPECT_EQ(log.Find({{"2.7", "7"}}), -1);
    EXPECT_EQ(log.Find({{"3.2", ""}}), -1) << "a hidden item matches nothing";
}

// A hidden item written back goes after the last item its section shows, aligned with them.
TEST(LogFile, WritingAnItemReplacesItsValueOrAddsTheHiddenLineAfterItsSection) {
    TemporaryFolder folder;
    SampleReport sample;
    sample.showCount = false;
    TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
    log.Append(sample.Text(), -1);

    ASSERT_TRUE(log.WriteItem(0, "3.3", "CAP_A - ON\r\nCAP_B - OFF", "Privileges"));
    EXPECT_EQ(log.ReadItem(0, "3.3"), "CAP_A - ON\r\nCAP_B - OFF");
    ASSERT_TRUE(log.WriteItem(0, "2.8", "2", "Count"));
    EXPECT_EQ(log.ReadItem(0, "2.8"), "2");
    EXPECT_EQ(log.ReadItem(0, "2.10"), "");
    EXPECT_NE(log.Report(0).find("  2.9 Status        : New\r\n"
                                 "  2.10 Note         : \r\n"
                                 "  2.8 Count         : 2\r\n"
                                 "\r\n"),
              std::string::npos)
        << log.Report(0);
    ASSERT_TRUE(log.WriteItem(0, "3.2", "joe@example.org", "Email"));
    EXPECT_NE(log.Report(0).find("  3.3 Privileges: CAP_A - ON\r\n"
                                 "                  CAP_B - OFF\r\n"
                                 "  3.2 Email     : joe@example.org\r\n"),
              std::string::npos)
        << log.Report(0);
    EXPECT_EQ(log.ReadItem(0, "3.3"), "CAP_A - ON\r\nCAP_B - OFF");
    EXPECT_FALSE(log.WriteItem(0, "4.1", "x", "Form Class")) << "no item of section 4 is shown";
}

TEST(LogFile, ADamagedItemLineWithoutSeparatorIsNoItem) {
    TemporaryFolder folder;
    std::string text = ReportWithId(3);
    const std::size_t count = text.find("  2.8 Count         : 1");
    text.replace(count, 23, "  2.8 Count|garbled");
    testing::WriteFile(folder / "app.ftlog", text);
    TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.ReadItem(0, "2.8"), std::nullopt);
    ASSERT_TRUE(log.WriteItem(0, "2.8", "5", "Count"));
    EXPECT_EQ(log.ReadItem(0, "2.8"), "5");
}

TEST(LogFile, AnEmptyValueWithoutItsBlankIsStillAnItemAndCanBeWritten) {
    TemporaryFolder folder;
    std::string text = ReportWithId(4);
    const std::size_t note = text.find("  2.10 Note         : \r\n");
    ASSERT_NE(note, std::string::npos) << text;
    text.erase(note + 21, 1);
    testing::WriteFile(folder / "app.ftlog", text);
    TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
    EXPECT_EQ(log.ReadItem(0, "2.10"), "");
    ASSERT_TRUE(log.WriteItem(0, "2.10", "checked", "Note"));
    EXPECT_EQ(log.ReadItem(0, "2.10"), "checked");
    EXPECT_NE(log.Report(0).find("  2.10 Note         : checked\r\n"), std::string::npos);
}

// A report cut short that runs into the next one: both load, the cut one is named.
TEST(LogFile, AReportRunningIntoTheNextIsCutWhereTheNextBegins) {
    TemporaryFolder folder;
    const std::string first = ReportWithId(1);
    const std::string cut = first.substr(0, first.find("Modules Information:") - 5);
    testing::WriteFile(folder / "app.ftlog",
                       cut + Stored(ReportWithId(2)) + "\r\n" + ReportWithId(3));
    const TLogFile log(folder / "app.ftlog", LogFileAccess::ReadOnly);
    ASSERT_EQ(log.Count(), 3);
    EXPECT_EQ(log.ReadItem(0, "2.7"), "1");
    EXPECT_EQ(log.ReadItem(1, "2.7"), "2");
    EXPECT_EQ(log.ReadItem(2, "2.7"), "3");
    ASSERT_EQ(log.Damage().size(), 1u);
    EXPECT_EQ(log.Damage()[0].report, 1);
    EXPECT_EQ(log.Damage()[0].line, 1);
    EXPECT_TRUE(log.Damage()[0].loaded);
    EXPECT_NE(log.Damage()[0].reason.find("runs into the next report"), std::string::npos)
        << log.Damage()[0].reason;
    // Written back, the cut report keeps apart from the next one.
    EXPECT_EQ(TLogFile::SplitReports(log.WholeText()).size(), 3u);
}

TEST(LogFile, AFileThatCannotBeOpenedIsAClearError) {
    TemporaryFolder folder;
    EXPECT_THROW(TLogFile(folder / "missing.ftlog", LogFileAccess::ReadOnly), ELogFileError);
    EXPECT_THROW(TLogFile(folder / "no" / "such.ftlog", LogFileAccess::ReadWrite), ELogFileError);
}

} // namespace
} // namespace faulttrap
