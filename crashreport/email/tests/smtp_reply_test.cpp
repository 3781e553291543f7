#include "crashreport/email/smtp_reply.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(SmtpReply, CodeIsTheRunOfDigitsAtTheStart) {
    EXPECT_EQ(SmtpReplyCode("220 ready\r\n"), 220);
    EXPECT_EQ(SmtpReplyCode("250-first\r\n250 last\r\n"), 250);
    EXPECT_EQ(SmtpReplyCode("354"), 354);
    EXPECT_EQ(SmtpReplyCode("2500 odd"), 2500);
    EXPECT_EQ(SmtpReplyCode("x250"), std::nullopt);
    EXPECT_EQ(SmtpReplyCode(""), std::nullopt);
    EXPECT_EQ(SmtpReplyCode("12345678901234567890 overflow"), std::nullopt);
}

TEST(SmtpReply, CompleteOnlyAfterTheLastLineOfAReply) {
    EXPECT_TRUE(SmtpReplyComplete("220 ready\r\n"));
    EXPECT_TRUE(SmtpReplyComplete("250-a\r\n250-b\r\n250 c\r\n"));
    EXPECT_TRUE(SmtpReplyComplete("garbage line\n"));
    EXPECT_FALSE(SmtpReplyComplete("250-a\r\n250-b\r\n"));
    EXPECT_FALSE(SmtpReplyComplete("220 rea"));
    EXPECT_FALSE(SmtpReplyComplete(""));
}

// A reply that announced more lines is waited for; any other pause ends the reading.
TEST(SmtpReply, PendingWhileTheLastLineIsAContinuation) {
    const struct {
        const char* received;
        bool pending;
    } cases[] = {
        {"220-first line\r\n", true},
        {"220-first\r\n220-sec", true},
        {"220-first\r\n22", true},
        {"220-fir", true},
        {"220-first\r\n220 ready\r\n", false},
        {"220 rea", false},
        {"garbage\r\n", false},
        {"", false},
    };
    for (const auto& [received, pending] : cases) {
        EXPECT_EQ(SmtpReplyPending(received), pending) << received;
    }
}

} // namespace
} // namespace faulttrap
