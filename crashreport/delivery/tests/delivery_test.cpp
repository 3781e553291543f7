// A console program without Qt, and the same program run as a CGI program, delivering a real
// report to real peers on loopback: an aiosmtpd server, a web server, and peers that stall,
// trickle or pause.

#include "crashreport/intercept/tests/crash_run.h"
#include "crashreport/web/tests/peer_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace faulttrap {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string WebPeer = "../../../web/tests/peers/web_peer.py";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The files of `folder` with `extension`, in name order.
std::vector<std::string> Recorded(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == extension) {
            paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> contents;
    for (const fs::path& path : paths) {
        contents.push_back(ReadFile(path));
    }
    return contents;
}

// What a delivery left in the temporary folder: its package folders and package files (other
// parts of the program keep caches of their own there).
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("FaultTrap") || name.starts_with("BugReport") ||
            name.starts_with("console") || name == "Screenshot.png" ||
            name == "LastHTMLPage.html") {
            names.push_back(name);
        }
    }
    return names;
}

class DeliveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testing::FreshFolder("delivery");
        fs::create_directories(temp_ = root_ / "tmp");
        fs::create_directories(logs_ = root_ / "logs");
        fs::create_directories(record_ = root_ / "record");
    }
    void TearDown() override { fs::remove_all(root_); }

    testing::CrashRun Deliver(std::vector<std::string> arguments, bool cgi = false,
                              int timeLimitSeconds = 60) {
        testing::CrashSettings settings;
        settings.environment = {{"TMPDIR", temp_.string()}};
        if (cgi) {
            settings.environment.push_back({"REQUEST_METHOD", "GET"});
        }
        settings.timeLimitSeconds = timeLimitSeconds;
        arguments.insert(arguments.begin(), {"--log", (logs_ / "console.ftlog").string()});
        testing::CrashRun run = testing::RunProgram(CONSOLE_DELIVERER, arguments, settings);
        EXPECT_FALSE(run.timedOut) << run.errors;
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        return run;
    }

    test::TPeerProcess Peer(const std::string& script, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--record", record_.string()});
        return test::TPeerProcess(script, arguments,
                                  root_ / (script.substr(script.rfind('/') + 1) + ".log"));
    }

    fs::path root_, temp_, logs_, record_;
};

TEST_F(DeliveryTest, ConsoleAndCgiProgramsDeliverBySmtpWithTheLongMessageIntact) {
    for (const bool cgi : {false, true}) {
        SCOPED_TRACE(cgi ? "CGI" : "console");
        fs::remove_all(record_);
        fs::create_directories(record_);
        const test::TPeerProcess smtp = Peer("smtp_peer.py", {"--mode", "aiosmtpd"});
        const testing::CrashRun run =
            Deliver({"--smtp-port", std::to_string(smtp.Port()), "--message-length", "1500"}, cgi);
        const std::vector<std::string> texts = Recorded(record_, ".txt");
        ASSERT_EQ(texts.size(), 1u) << run.errors;
        // The 1500-character message is one line of the report, whole after decoding.
        std::string message;
        for (std::size_t i = 0; message.size() + 5 < 1500; ++i) {
            message += static_cast<char>('a' + i % 26);
        }
        message += "=END.";
        EXPECT_TRUE(Contains(texts[0], message + "\r\n")) << texts[0].substr(0, 2000);
        EXPECT_TRUE(Contains(texts[0], "The report follows.\r\n\r\n\r\n"));
        const std::string raw = Recorded(record_, ".eml")[0];
        EXPECT_TRUE(Contains(raw, "Content-Transfer-Encoding: quoted-printable"));
        // The progress and the result are on the standard error; the events fired as always.
        EXPECT_TRUE(Contains(run.errors, "FaultTrap: Connecting with server...")) << run.errors;
        EXPECT_TRUE(Contains(run.errors, "Information. The message was sent successfully."))
            << run.errors;
        EXPECT_TRUE(Contains(run.output, "action 4\n")) << run.output;
        EXPECT_TRUE(Contains(run.output, "action 5\n")) << run.output;
        EXPECT_TRUE(Names(temp_).empty()) << ::testing::PrintToString(Names(temp_));
    }
}

TEST_F(DeliveryTest, ConsoleAndCgiProgramsUploadTheirOwnArchiveByHttp) {
    // Another program's archive lies in the shared temporary folder, unreadable and unwritable.
    std::ofstream(temp_ / "BugReport.zip") << "someone else's archive";
    fs::permissions(temp_ / "BugReport.zip", fs::perms::owner_read);
    const test::TPeerProcess web = Peer(WebPeer, {});
    for (const bool cgi : {false, true}) {
        SCOPED_TRACE(cgi ? "CGI" : "console");
        const testing::CrashRun run = Deliver(
            {"--web-url", "http://127.0.0.1:" + std::to_string(web.Port()) + "/upload/ok"}, cgi);
        EXPECT_TRUE(Contains(run.errors, "Information. The message was sent successfully."))
            << run.errors;
        EXPECT_TRUE(Contains(run.output, "action 6\n")) << run.output;
        EXPECT_TRUE(Contains(run.output, "action 7\n")) << run.output;
    }
    const std::vector<std::string> requests = Recorded(record_, ".bin");
    ASSERT_EQ(requests.size(), 2u);
    for (const std::string& request : requests) {
        EXPECT_TRUE(Contains(request, "filename=\"BugReport.zip\"")) << request;
        EXPECT_TRUE(Contains(request, "PK\x03\x04")) << request;
        EXPECT_FALSE(Contains(request, "someone else's archive")) << request;
    }
    EXPECT_EQ(ReadFile(temp_ / "BugReport.zip"), "someone else's archive");
    EXPECT_EQ(Names(temp_), std::vector<std::string>{"BugReport.zip"});
}

TEST_F(DeliveryTest, NothingToUploadSendsNothingAndSaysSo) {
    const test::TPeerProcess web = Peer(WebPeer, {});
    const testing::CrashRun run =
        Deliver({"--web-url", "http://127.0.0.1:" + std::to_string(web.Port()) + "/upload/ok",
                 "--drop-files"});
    EXPECT_TRUE(Contains(run.errors, "Nothing to upload")) << run.errors;
    EXPECT_TRUE(Recorded(record_, ".bin").empty());
    EXPECT_TRUE(Names(temp_).empty());
}

TEST_F(DeliveryTest, AGreetingThatPausesBetweenItsLinesIsReadWhole) {
    const test::TPeerProcess smtp = Peer("smtp_peer.py", {"--mode", "pause"});
    const testing::CrashRun run = Deliver({"--smtp-port", std::to_string(smtp.Port())});
    EXPECT_EQ(Recorded(record_, ".eml").size(), 1u) << run.errors;
    EXPECT_TRUE(Contains(run.errors, "The message was sent successfully.")) << run.errors;
}

// Every route ends within its deadlines against a peer that never answers and one that
// trickles; the warning says it timed out. Stall 2 s, overall 4 s.
TEST_F(DeliveryTest, SilentAndTricklingPeersEndEveryRouteInTimeWithATimeOut) {
    const test::TPeerProcess web = Peer(WebPeer, {});
    const test::TPeerProcess silentSmtp = Peer("smtp_peer.py", {"--mode", "silent"});
    const test::TPeerProcess tricklingSmtp = Peer("smtp_peer.py", {"--mode", "trickle"});
    const std::string site = "http://127.0.0.1:" + std::to_string(web.Port());
    // A peer that never says a word serves as a silent HTTPS and FTP server too.
    const auto silentSite = [&](const std::string& scheme) {
        return scheme + "://127.0.0.1:" + std::to_string(silentSmtp.Port()) + "/";
    };
    const struct {
        std::string name;
        std::vector<std::string> route;
        std::string warning;
    } cases[] = {
        {"silent SMTP", {"--smtp-port", std::to_string(silentSmtp.Port())}, "Socket timeout."},
        {"trickling SMTP",
         {"--smtp-port", std::to_string(tricklingSmtp.Port())},
         "Socket timeout."},
        {"silent HTTP", {"--web-url", site + "/stall"}, "timed out"},
        {"trickling HTTP", {"--web-url", site + "/trickle"}, "timed out"},
        {"silent HTTPS", {"--web-url", silentSite("https"), "--tracker", "2"}, "timed out"},
        {"silent FTP", {"--web-url", silentSite("ftp"), "--tracker", "3"}, "timed out"},
        {"trickling FTP",
         {"--web-url", "ftp://127.0.0.1:" + std::to_string(tricklingSmtp.Port()) + "/", "--tracker",
          "3"},
         "timed out"},
        {"silent tracker",
         {"--web-url", site + "/stall/", "--tracker", "6"},
         "Invalid login request. ("},
        {"trickling tracker",
         {"--web-url", site + "/trickle/", "--tracker", "4"},
         "Invalid login request. ("},
    };
    for (const auto& [name, route, warning] : cases) {
        SCOPED_TRACE(name);
        std::vector<std::string> arguments = route;
        arguments.insert(arguments.end(), {"--stall-ms", "2000", "--overall-ms", "4000"});
        const Clock::time_point start = Clock::now();
        const testing::CrashRun run = Deliver(arguments);
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        EXPECT_LT(took.count(), 9000) << run.errors;
        EXPECT_TRUE(Contains(run.errors, warning)) << run.errors;
        EXPECT_TRUE(Contains(run.errors, "Sorry, sending the message didn't work.")) << run.errors;
    }
}

// A 10 MB header or greeting gives a warning that says the reply was too long, with no more of
// the server's text than a few hundred characters.
TEST_F(DeliveryTest, HugeRepliesGiveShortTruthfulWarnings) {
    const test::TPeerProcess web = Peer(WebPeer, {});
    const test::TPeerProcess smtp = Peer("smtp_peer.py", {"--mode", "huge"});
    const struct {
        std::vector<std::string> route;
        std::string warning;
    } cases[] = {
        {{"--web-url", "http://127.0.0.1:" + std::to_string(web.Port()) + "/huge-header"},
         "The server's reply is too long"},
        {{"--smtp-port", std::to_string(smtp.Port())}, "Reply too long."},
    };
    for (const auto& [route, warning] : cases) {
        const testing::CrashRun run = Deliver(route);
        EXPECT_TRUE(Contains(run.errors, warning)) << run.errors.substr(0, 2000);
        EXPECT_LT(run.errors.size(), 4000u) << run.errors.substr(0, 2000);
    }
}

// The program waits one second for its send thread at exit, then says the delivery was
// abandoned, on the standard error and as a warning, and stops it: the thread's own result
// (a time-out) follows, and the program ends.
TEST_F(DeliveryTest, ABackgroundDeliveryStillRunningAtTheEndIsReportedAbandoned) {
    const test::TPeerProcess smtp = Peer("smtp_peer.py", {"--mode", "silent"});
    const Clock::time_point start = Clock::now();
    const testing::CrashRun run =
        Deliver({"--smtp-port", std::to_string(smtp.Port()), "--in-thread", "--stall-ms", "20000",
                 "--exit-wait-ms", "1000"});
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    const std::size_t abandoned = run.errors.find(
        "FaultTrap: The program ended before the bug report was sent: its delivery was "
        "abandoned.");
    ASSERT_NE(abandoned, std::string::npos) << run.errors;
    // The abandoned delivery stops at once: the program ends soon after the exit wait.
    EXPECT_LT(took.count(), 4000) << run.errors;
    EXPECT_TRUE(Contains(run.errors, "[WARNING] - Code: eeEmailSMTPError - Address: "))
        << run.errors;
    EXPECT_GT(run.errors.find("[SMTP] Socket timeout."), abandoned) << run.errors;
}

} // namespace
} // namespace faulttrap
