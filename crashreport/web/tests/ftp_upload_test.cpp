#include "crashreport/web/tests/peer_process.h"
#include "crashreport/web/tests/progress_log.h"
#include "crashreport/web/tests/web_peer_fixture.h"

#include "crashreport/web/ftp_upload.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

class FTPUploadTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root_ / "incoming");
        server_ = std::make_unique<test::TPeerProcess>(
            "ftp_peer.py", std::vector<std::string>{root_.string()}, folder_.Path() / "ftp.log");
        options_.SetWebSendMode(TFaultWebSendMode::FTP);
        options_.SetWebURL("ftp://127.0.0.1/incoming");
        options_.SetWebPort(server_->Port());
        options_.SetWebUserID("ftpuser");
        options_.SetWebPassword("ftppass");
        std::string archive(5000, '\0');
        for (std::size_t i = 0; i < archive.size(); ++i) {
            archive[i] = static_cast<char>(i * 7);
        }
        files_ = {{folder_.Write("BugReport.zip", archive), "BugReport_PC1.zip"},
                  {(folder_.Path() / "gone.txt").string(), "gone.txt"},
                  {folder_.Write("Screenshot.png", "\x89PNG\r\n\x1a\n"), "Screen shot.png"}};
    }

    TWebStepOutcome Upload() { return UploadByFtp(options_, files_, &log_); }

    test::TTempFolder folder_;
    std::filesystem::path root_ = folder_.Path() / "root";
    std::unique_ptr<test::TPeerProcess> server_;
    TFaultModuleOptions options_{"", false};
    std::vector<TWebUploadFile> files_;
    test::TProgressLog log_;
};

TEST_F(FTPUploadTest, PutsEveryExistingFileUnderItsAttachmentName) {
    const TWebStepOutcome outcome = Upload();
    ASSERT_TRUE(outcome.Succeeded()) << outcome.errorText;
    EXPECT_EQ(test::FileBytes(root_ / "incoming" / "BugReport_PC1.zip"),
              test::FileBytes(files_[0].path));
    EXPECT_EQ(test::FileBytes(root_ / "incoming" / "Screen shot.png"),
              test::FileBytes(files_[2].path));
    EXPECT_FALSE(std::filesystem::exists(root_ / "incoming" / "gone.txt"));

    // Pieces of 1024 bytes over both files: 5000 + 8 bytes in 5 + 1 pieces.
    const std::vector<std::string> expected{"status:Connecting with server...",
                                            "bar:0",
                                            "status:Connected with server.",
                                            "status:Sending message...",
                                            "bar:20",
                                            "status:Sending message...",
                                            "bar:41",
                                            "status:Sending message...",
                                            "bar:61",
                                            "status:Sending message...",
                                            "bar:82",
                                            "status:Sending message...",
                                            "bar:100",
                                            "status:Sending message...",
                                            "bar:100"};
    EXPECT_EQ(log_.events, expected);
}

TEST_F(FTPUploadTest, AnAddressWithoutPathPutsTheFilesInTheLogInFolder) {
    options_.SetWebURL("127.0.0.1");
    ASSERT_TRUE(Upload().Succeeded());
    EXPECT_TRUE(std::filesystem::exists(root_ / "BugReport_PC1.zip"));
}

TEST_F(FTPUploadTest, ARefusedLogInEndsWithTheServersReply) {
    options_.SetWebPassword("wrong");
    const TWebStepOutcome outcome = Upload();
    EXPECT_EQ(outcome.code, 12015);
    ASSERT_TRUE(outcome.warning);
    EXPECT_EQ(outcome.warning->code, TWebWarningCode::eeWebFTPError);
    EXPECT_EQ(outcome.warning->text, "FTP error code: 12015 (530 Authentication failed.)");
}

TEST_F(FTPUploadTest, AMissingFolderStopsAtTheFirstFile) {
    options_.SetWebURL("ftp://127.0.0.1/nowhere/");
    const TWebStepOutcome outcome = Upload();
    EXPECT_EQ(outcome.code, 12003);
    EXPECT_EQ(outcome.warning->text.rfind("FTP error code: 12003 (550 ", 0), 0u)
        << outcome.warning->text;
    EXPECT_FALSE(std::filesystem::exists(root_ / "nowhere"));
}

TEST_F(FTPUploadTest, WithoutPackagedFilesNothingHappens) {
    files_.clear();
    options_.SetWebPort(test::ClosedPort());
    EXPECT_TRUE(Upload().Succeeded());
    EXPECT_TRUE(log_.events.empty());
}

TEST_F(FTPUploadTest, AServerThatIsNotThereFails) {
    options_.SetWebPort(test::ClosedPort());
    EXPECT_EQ(Upload().warning->text,
              "FTP error code: 12029 (The attempt to connect to the server failed.)");
}

} // namespace
} // namespace faulttrap
