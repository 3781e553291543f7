#include "email/smtp_reply.h"

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

} // namespace
} // namespace faulttrap
