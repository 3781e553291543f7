// A real crash of a Qt program (a write through a null pointer on its GUI thread) with SMTP
// delivery configured: the report goes out from the crashed process, whose GUI thread can no
// longer show anything, before the process ends.

#include "crashreport/email/tests/recording_smtp_server.h"
#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/packaging/base64.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace faulttrap {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The report copy inside the archive that `message` carries, unpacked by unzip.
std::string ReportCopyIn(const std::string& message, const std::filesystem::path& folder) {
    const std::size_t head = message.find("filename=\"");
    const std::size_t start = message.find("\r\n\r\n", head) + 4;
    const std::size_t end = message.find("\r\n--", start);
    std::string base64;
    for (const char c : message.substr(start, end - start)) {
        if (c != '\r' && c != '\n') {
            base64 += c;
        }
    }
    const std::filesystem::path archive = folder / "received.zip";
    std::ofstream(archive, std::ios::binary) << FromBase64(base64);
    const std::string command = "unzip -p '" + archive.string() + "' '*.ftlog'";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, got);
        }
        pclose(pipe);
    }
    return text;
}

TEST(CrashDelivery, ACrashOnTheGuiThreadDeliversTheArchiveBeforeTheProcessEnds) {
    testing::RecordingSmtpServer server;
    const std::filesystem::path folder = testing::FreshFolder("crash-delivery");
    const testing::CrashRun run =
        testing::RunCrashers({"qt-null-write", "--log", (folder / "crash.ftlog").string(),
                              "--dialog", "0", "--smtp-port", std::to_string(server.Port())},
                             120);
    ASSERT_FALSE(run.timedOut) << run.errors;
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_FALSE(run.leftovers);
    const std::vector<std::string> conversations = server.Conversations(1);
    ASSERT_EQ(conversations.size(), 1u) << run.errors;
    const std::string& message = conversations[0];
    EXPECT_TRUE(Contains(message, "RCPT TO:<developers@example.org>\r\n")) << message;
    EXPECT_TRUE(Contains(message, "Content-Type: application/octet-stream;")) << message;
    EXPECT_TRUE(Contains(message, ".zip\"")) << message;
    // The screenshot wanted cannot be taken from a crashed GUI thread: the report says so.
    EXPECT_TRUE(
        Contains(ReportCopyIn(message, folder),
                 "Screenshot: it could not be taken, the program's window did not answer."));
    EXPECT_FALSE(Contains(message, "Screenshot.png"));
    // The result message cannot reach the crashed GUI thread: it goes to the standard error.
    EXPECT_TRUE(Contains(run.errors, "Information. The message was sent successfully."))
        << run.errors;
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace faulttrap
