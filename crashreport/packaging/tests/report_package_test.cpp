#include "crashreport/packaging/kept_reports.h"
#include "crashreport/packaging/report_package.h"

#include "crashreport/options/option_types.h"
#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace faulttrap {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;

class ReportPackage : public ::testing::Test {
protected:
    TPackageSettings Settings() const {
        TPackageSettings settings;
        settings.tempFolder = temp_.Path();
        settings.logFileName = logs_ / "registry.ftlog";
        settings.computerName = "PC01";
        settings.exceptionTime.tm_year = 124;
        settings.exceptionTime.tm_mday = 31;
        settings.exceptionTime.tm_hour = 23;
        settings.exceptionTime.tm_min = 59;
        settings.exceptionTime.tm_sec = 59;
        return settings;
    }

    static std::vector<std::string> ZipEntries(const fs::path& archive) {
        std::vector<std::string> names;
        FILE* pipe = popen(("unzip -Z1 '" + archive.string() + "'").c_str(), "r");
        char line[512];
        while (pipe != nullptr && fgets(line, sizeof line, pipe) != nullptr) {
            std::string name(line);
            name.erase(name.find_last_not_of('\n') + 1);
            names.push_back(name);
        }
        if (pipe != nullptr) {
            pclose(pipe);
        }
        return names;
    }

    TempFolder temp_;
    TempFolder logs_;
};

TEST(ReportCopyText, EndsInExactlyThreeLineBreaksAddedOnlyWhenMissing) {
    EXPECT_EQ(ReportCopyText("a\r\n\r\n\r\n"), "a\r\n\r\n\r\n");
    EXPECT_EQ(ReportCopyText("a\r\n"), "a\r\n\r\n\r\n\r\n");
    EXPECT_EQ(ReportCopyText("a\nb"), "a\r\nb\r\n\r\n\r\n");
}

TEST(SplitAttachedFiles, SplitsAtSemicolonsAndKeepsEmptyPieces) {
    EXPECT_EQ(SplitAttachedFiles(" /a/one.txt ; ;/b/two.txt"),
              (std::vector<std::string>{"/a/one.txt", "", "/b/two.txt"}));
    EXPECT_EQ(SplitAttachedFiles(""), (std::vector<std::string>{""}));
}

TEST_F(ReportPackage, CollectsTheFilesInOrderAndLeavesTheCopyOutWhenTheMessageCarriesIt) {
    TPackageSettings settings = Settings();
    settings.sendOptions = send_options::SendScreenshot | send_options::SendLastHTMLPage |
                           send_options::AttachXMLReport;
    settings.attachScreenshot = true;
    settings.attachedFiles = "/x/extra.txt";
    const TReportPackage package(settings);
    const std::string t = temp_.Path().string() + "/";
    EXPECT_EQ(package.CollectAttachments(true),
              (std::vector<std::string>{"/x/extra.txt", t + "registry.ftlog", t + "Screenshot.png",
                                        t + "LastHTMLPage.html", t + "registry.xml"}));
    settings.appendReportToMessage = true;
    settings.attachScreenshot = false; // the user unticked it in the dialog
    EXPECT_EQ(
        TReportPackage(settings).CollectAttachments(true),
        (std::vector<std::string>{"/x/extra.txt", t + "LastHTMLPage.html", t + "registry.xml"}));
    EXPECT_EQ(TReportPackage(settings).CollectAttachments(false),
              (std::vector<std::string>{"/x/extra.txt", t + "registry.ftlog",
                                        t + "LastHTMLPage.html", t + "registry.xml"}));
}

TEST_F(ReportPackage, PacksTheExistingFilesIntoOneArchive) {
    TPackageSettings settings = Settings();
    const fs::path extra = logs_.Write("notes.txt", "user notes");
    settings.attachedFiles = extra.string() + "; ;" + (logs_ / "gone.txt").string();
    settings.sendOptions = send_options::SendLastHTMLPage | send_options::AttachXMLReport;
    const TReportPackage package(settings);
    package.WriteReportCopy("report\r\n");
    package.WriteLastHtmlPage("<html>\n</html>");
    package.WriteXmlCopy([](const fs::path& file) { std::ofstream(file) << "<report/>"; });
    EXPECT_EQ(ReadFile(package.ReportCopyPath()), "report\r\n\r\n\r\n\r\n");
    EXPECT_EQ(ReadFile(package.LastHtmlPagePath()), "<html>\r\n</html>");

    std::vector<std::string> requested;
    const std::vector<std::string> list =
        package.PackAttachments(false, [&](std::vector<std::string>& paths) {
            requested = paths;
            paths.push_back(extra.string()); // a handler adds a file twice: packed twice
        });
    EXPECT_EQ(requested.size(), 6u);
    EXPECT_EQ(list, std::vector<std::string>{package.ArchivePath().string()});
    EXPECT_EQ(ZipEntries(package.ArchivePath()),
              (std::vector<std::string>{"notes.txt", "registry.ftlog", "LastHTMLPage.html",
                                        "registry.xml", "notes.txt"}));
}

TEST_F(ReportPackage, NothingToPackLeavesNoArchiveButStillNamesIt) {
    TPackageSettings settings = Settings();
    settings.logFileName.clear();
    const TReportPackage package(settings);
    const std::vector<std::string> list = package.PackAttachments(true, nullptr);
    EXPECT_EQ(list, std::vector<std::string>{package.ArchivePath().string()});
    EXPECT_FALSE(fs::exists(package.ArchivePath()));
}

TEST_F(ReportPackage, TwelveKeptArchivesAreCutToTheTenThatSortLast) {
    for (int i = 1; i <= 11; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "BugReport__PC01__202401%02d120000.zip", i);
        logs_.Write(name, "old");
    }
    logs_.Write("registry.ftlog", "log stays");
    TPackageSettings settings = Settings();
    settings.sendOptions =
        send_options::AddComputerNameToFileName | send_options::AddDateToFileName;
    const TReportPackage package(settings);
    temp_.Write("BugReport.zip", "the unsent archive");
    package.KeepUnsentReport();

    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(logs_.Path())) {
        kept.push_back(entry.path().filename().string());
    }
    std::sort(kept.begin(), kept.end());
    ASSERT_EQ(kept.size(), 11u);
    EXPECT_EQ(kept.front(), "BugReport__PC01__20240103120000.zip");
    EXPECT_EQ(kept[9], "BugReport__PC01__20240131235959.zip");
    EXPECT_EQ(kept.back(), "registry.ftlog");
    EXPECT_EQ(ReadFile(logs_ / "BugReport__PC01__20240131235959.zip"), "the unsent archive");
    EXPECT_FALSE(fs::exists(package.ArchivePath()));
}

TEST_F(ReportPackage, AKeptArchiveNeverReplacesAFileOfTheSameName) {
    logs_.Write("BugReport.zip", "earlier archive");
    const TReportPackage package(Settings());
    temp_.Write("BugReport.zip", "new archive");
    package.KeepUnsentReport();
    EXPECT_EQ(ReadFile(logs_ / "BugReport.zip"), "earlier archive");
    package.RemoveTemporaryFiles();
    EXPECT_FALSE(fs::exists(package.ArchivePath()));
}

TEST(KeptReports, MoveAcrossFileSystemsCopiesWithoutReplacing) {
    TempFolder from;
    const fs::path shm("/dev/shm");
    if (!fs::is_directory(shm)) {
        GTEST_SKIP() << "no second file system";
    }
    const fs::path archive = from.Write("a.zip", "zip bytes");
    const std::string name = "ftpack-move-" + std::to_string(getpid()) + ".zip";
    ASSERT_TRUE(MoveWithoutReplacing(archive, shm, name));
    EXPECT_EQ(ReadFile(shm / name), "zip bytes");
    EXPECT_FALSE(fs::exists(archive));
    from.Write("a.zip", "second");
    EXPECT_FALSE(MoveWithoutReplacing(archive, shm, name));
    EXPECT_EQ(ReadFile(shm / name), "zip bytes");
    fs::remove(shm / name);
}

TEST_F(ReportPackage, RemoveTemporaryFilesKeepsTheLastPageOfACgiProgramAndTheScreenshot) {
    TPackageSettings settings = Settings();
    settings.sendOptions = send_options::SendLastHTMLPage | send_options::AttachXMLReport;
    for (const bool cgi : {false, true}) {
        settings.runsAsCgi = cgi;
        const TReportPackage package(settings);
        for (const fs::path& file :
             {package.ArchivePath(), package.XmlCopyPath(), package.LastHtmlPagePath(),
              package.ReportCopyPath(), package.ScreenshotPath()}) {
            std::ofstream(file) << "x";
        }
        package.RemoveTemporaryFiles();
        EXPECT_FALSE(fs::exists(package.ArchivePath()));
        EXPECT_FALSE(fs::exists(package.XmlCopyPath()));
        EXPECT_FALSE(fs::exists(package.ReportCopyPath()));
        EXPECT_EQ(fs::exists(package.LastHtmlPagePath()), cgi);
        EXPECT_TRUE(fs::exists(package.ScreenshotPath())); // deleted after the send step
    }
}

} // namespace
} // namespace faulttrap
