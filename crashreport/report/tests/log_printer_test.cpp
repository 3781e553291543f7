#include "crashreport/report/log_printer.h"

#include "crashreport/report/log_file.h"

#include "crashreport/report/tests/sample_report.h"
#include "crashreport/report/tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace faulttrap {
namespace {

using testing::SampleReport;
using testing::TemporaryFolder;

TEST(LogPrinter, ArgumentsNameTheFileTheReportAndTheItems) {
    std::string error;
    const auto query =
        ParseLogArguments({"app.ftlog", "--item", "2.7", "--report", "2", "--item", "3.3"}, error);
    ASSERT_TRUE(query) << error;
    EXPECT_EQ(query->file, "app.ftlog");
    EXPECT_EQ(query->report, 2);
    EXPECT_EQ(query->items, (std::vector<std::string>{"2.7", "3.3"}));

    const std::vector<std::string> wrong[] = {{},
                                              {"--item", "2.7"},
                                              {"a", "--item"},
                                              {"a", "--item", "27"},
                                              {"a", "--item", "2.x"},
                                              {"a", "--report", "0"},
                                              {"a", "--report", "1x"},
                                              {"a", "b"},
                                              {"a", "--all"}};
    for (const auto& arguments : wrong) {
        error.clear();
        EXPECT_FALSE(ParseLogArguments(arguments, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(LogPrinter, PrintsTheItemsOfEveryReportOrOfTheChosenOne) {
    TemporaryFolder folder;
    {
        TLogFile log(folder / "app.ftlog", LogFileAccess::ReadWrite);
        SampleReport first;
        first.id = "0001";
        log.Append(first.Text(), -1);
        log.Append(SampleReport().Text(), -1);
        log.Save();
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(PrintLog({folder / "app.ftlog", std::nullopt, {"2.7", "3.3", "3.2"}}, out, err), 0);
    EXPECT_EQ(out.str(), "[1] 2.7: 0001\n"
                         "[1] 3.3: CAP_CHOWN                       - ON\n"
                         "    CAP_KILL                        - OFF\n"
                         "[1] 3.2: (not in the report)\n"
                         "[2] 2.7: 1A2B\n"
                         "[2] 3.3: CAP_CHOWN                       - ON\n"
                         "    CAP_KILL                        - OFF\n"
                         "[2] 3.2: (not in the report)\n");

    // Without items: a log of the reports, each followed by the empty line between reports.
    out.str("");
    EXPECT_EQ(PrintLog({folder / "app.ftlog", 2, {}}, out, err), 0);
    EXPECT_EQ(out.str(), testing::Stored(SampleReport().Text()) + "\r\n");
    out.str("");
    EXPECT_EQ(PrintLog({folder / "app.ftlog", std::nullopt, {}}, out, err), 0);
    EXPECT_EQ(out.str(), testing::ReadFile(folder / "app.ftlog"));
    EXPECT_EQ(TLogFile::SplitReports(out.str()).size(), 2u);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(PrintLog({folder / "app.ftlog", 3, {"2.7"}}, out, err), 1);
    EXPECT_NE(err.str().find("holds 2 reports"), std::string::npos);
}

TEST(LogPrinter, AFileThatIsNoLogOrCannotBeReadIsSaid) {
    TemporaryFolder folder;
    testing::WriteFile(folder / "notes.txt", "nothing here\r\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(PrintLog({folder / "notes.txt", std::nullopt, {}}, out, err), 1);
    EXPECT_EQ(PrintLog({folder / "missing.ftlog", std::nullopt, {}}, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("no bug report"), std::string::npos);
    EXPECT_NE(err.str().find("missing.ftlog"), std::string::npos);
}

} // namespace
} // namespace faulttrap
