// A real crash of a Qt program (a write through a null pointer on its GUI thread) with SMTP
// delivery configured: the report goes out from the crashed process, whose GUI thread can no
// longer show anything, before the process ends.

#include "crash_run.h"
#include "recording_smtp_server.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
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
    // The result message cannot reach the crashed GUI thread: it goes to the standard error.
    EXPECT_TRUE(Contains(run.errors, "Information. The message was sent successfully."))
        << run.errors;
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace faulttrap
