#include "crashreport/packaging/zip_archive.h"

#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace faulttrap {
namespace {

struct ShellResult {
    int status;
    std::string output;
};

ShellResult Shell(const std::string& command) {
    ShellResult run{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
        run.output.append(buffer, n);
    }
    run.status = pclose(pipe);
    return run;
}

class ZipArchive : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(3);
        std::string binary(70000, '\0');
        for (char& c : binary) {
            c = static_cast<char>(random());
        }
        files_ = {folder_.Write("report.ftlog", std::string(5000, 'x') + "\r\nend\r\n").string(),
                  folder_.Write("Screenshot.png", binary).string(),
                  folder_.Write("empty.txt", "").string()};
        archive_ = (folder_ / "BugReport.zip").string();
    }

    std::string Unzip(const std::string& options, const std::string& entry = "") {
        return "unzip " + options + " '" + archive_ + "' " + entry;
    }

    testing::TempFolder folder_;
    std::vector<std::string> files_;
    std::string archive_;
};

TEST_F(ZipArchive, PlainArchivePassesUnzipTestAndKeepsEveryByte) {
    ASSERT_EQ(CreateZipArchive(archive_, files_, ""), 3);
    const ShellResult test = Shell(Unzip("-t"));
    EXPECT_EQ(test.status, 0) << test.output;
    EXPECT_NE(test.output.find("No errors detected"), std::string::npos) << test.output;
    EXPECT_EQ(Shell(Unzip("-p", "Screenshot.png")).output, testing::ReadFile(files_[1]));
    const ShellResult list = Shell(Unzip("-Z -v"));
    EXPECT_NE(list.output.find("compression method:                             deflated"),
              std::string::npos)
        << list.output;
    EXPECT_NE(list.output.find("security status:                           not encrypted"),
              std::string::npos);
}

TEST_F(ZipArchive, PasswordArchiveOpensOnlyWithThePassword) {
    ASSERT_EQ(CreateZipArchive(archive_, files_, "s3cret"), 3);
    const ShellResult test = Shell(Unzip("-t -P s3cret"));
    EXPECT_EQ(test.status, 0) << test.output;
    EXPECT_EQ(Shell(Unzip("-p -P s3cret", "report.ftlog")).output, testing::ReadFile(files_[0]));
    EXPECT_EQ(Shell(Unzip("-p -P s3cret", "Screenshot.png")).output, testing::ReadFile(files_[1]));
    EXPECT_NE(Shell(Unzip("-t -P wrong")).status, 0);
    const ShellResult list = Shell(Unzip("-Z -v"));
    EXPECT_NE(list.output.find("security status:                           encrypted"),
              std::string::npos)
        << list.output;
}

TEST_F(ZipArchive, UnreadableFilesAreLeftOutAndAnOldArchiveIsReplaced) {
    testing::TempFolder other;
    other.Write("BugReport.zip", "old content that is not a zip");
    const std::string archive = (other / "BugReport.zip").string();
    const std::vector<std::string> files = {files_[0], (folder_ / "missing.txt").string()};
    ASSERT_EQ(CreateZipArchive(archive, files, ""), 1);
    const ShellResult list = Shell("unzip -Z1 '" + archive + "'");
    EXPECT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(list.output, "report.ftlog\n");
}

TEST_F(ZipArchive, EntriesCarryTheFilesLocalModificationTime) {
    const std::filesystem::file_time_type when =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(30 * 24);
    std::filesystem::last_write_time(files_[0], when);
    ASSERT_EQ(CreateZipArchive(archive_, {files_[0]}, ""), 1);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(when).time_since_epoch());
    const std::time_t time = seconds.count();
    std::tm local{};
    localtime_r(&time, &local);
    char expected[32];
    std::strftime(expected, sizeof expected, "%Y-%m-%d %H:%M", &local);
    const ShellResult list = Shell("unzip -l '" + archive_ + "'");
    EXPECT_NE(list.output.find(expected), std::string::npos) << expected << "\n" << list.output;
}

} // namespace
} // namespace faulttrap
