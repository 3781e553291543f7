#include "crashreport/email/mail_text.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(MailText, ControlRunsBecomeOneSpace) {
    EXPECT_EQ(ReplaceControlRuns("Crash\r\n\tin  module\x7f!"), "Crash in  module !");
    EXPECT_EQ(ReplaceControlRuns("plain"), "plain");
}

TEST(MailText, RecipientsAreSplitAtCommaAndSemicolonAndTrimmed) {
    EXPECT_EQ(SplitRecipients(" a@x.org ; b@y.org,c@z.org;; "),
              (std::vector<std::string>{"a@x.org", "b@y.org", "c@z.org"}));
    EXPECT_TRUE(SplitRecipients("").empty());
}

struct SenderCase {
    const char* from;
    const char* header;
    const char* envelope;
};

TEST(MailText, SenderGivesTheFromHeaderAndTheEnvelopeAddress) {
    const SenderCase cases[] = {
        {"bugs@example.com", "\"Maria\" <bugs@example.com>", "bugs@example.com"},
        {"\"Support Team\" <support@example.com>", "\"Support Team\" <support@example.com>",
         "support@example.com"},
        {"Support <support@example.com>", "Support <support@example.com>", "support@example.com"},
        {"<bare@example.com>", "<bare@example.com>", "bare@example.com"},
        {"\"Odd\" <odd@example.com", "\"Odd\" <odd@example.com", "odd@example.com"},
    };
    for (const SenderCase& c : cases) {
        SCOPED_TRACE(c.from);
        const TMailSender sender = ParseMailSender(c.from, "Maria");
        EXPECT_EQ(sender.fromHeader, c.header);
        EXPECT_EQ(sender.envelope, c.envelope);
    }
}

} // namespace
} // namespace faulttrap
