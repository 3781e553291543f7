#include "crashreport/email/fault_socket_error.h"
#include "crashreport/email/smtp_delivery.h"

#include "crashreport/options/fault_module_options.h"

#include "crashreport/email/tests/child_process.h"
#include "crashreport/email/tests/recorders.h"
#include "crashreport/email/tests/recording_smtp_server.h"
#include "crashreport/email/tests/scripted_dns_server.h"
#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <regex>
#include <thread>

namespace faulttrap {
namespace {

using Clock = std::chrono::steady_clock;
using testing::RecordingSmtpServer;

class SmtpDelivery : public ::testing::Test {
protected:
    TSmtpJob Job(std::uint16_t port) {
        TSmtpJob job;
        job.host = "127.0.0.1";
        job.port = port;
        job.envelopeFrom = "bugs@example.com";
        job.localHostName = "pharmacy-pc";
        job.message.fromHeader = "\"Maria\" <bugs@example.com>";
        job.message.subject = "Bug report";
        job.message.text = "First line\r\n.\r\nlast line";
        job.message.attachments = {
            {folder_.Write("BugReport.zip", std::string(150, '\x01')).string(),
             "BugReport__PC01.zip"}};
        job.timeoutMs = 2000;
        return job;
    }

    // The content of DATA, with the two lines that change with the moment blanked.
    static std::string Steady(const std::string& content) {
        return std::regex_replace(
            std::regex_replace(content, std::regex("Date: [^\r]*\r\n"), "Date: -\r\n"),
            std::regex("Message-ID: <[0-9]+@"), "Message-ID: <-@");
    }

    TFaultModuleOptions options_{"", false};
    testing::RecordingProgress progress_;
    testing::RecordingEvents events_;
    testing::TempFolder folder_;
};

TEST_F(SmtpDelivery, AuthLoginConversationPerRecipientAndTheRefusedOneFailsAlone) {
    RecordingSmtpServer server(RecordingSmtpServer::Behaviour::Normal, {"nobody@example.org"});
    TSmtpJob job = Job(server.Port());
    job.userId = "user";
    job.password = "pass";
    ASSERT_TRUE(
        SendBySmtp(job, "dev@example.org; nobody@example.org", options_, progress_, true, events_));

    const std::vector<std::string> talks = server.Conversations(2);
    ASSERT_EQ(talks.size(), 2u);
    const std::string start = "EHLO pharmacy-pc\r\nRSET\r\nAUTH LOGIN\r\ndXNlcg==\r\ncGFzcw==\r\n"
                              "MAIL FROM:<bugs@example.com>\r\n";
    const std::string data = "RCPT TO:<dev@example.org>\r\nDATA\r\n";
    ASSERT_TRUE(talks[0].starts_with(start + data)) << talks[0];
    // The layout of the message has its own byte-exact test; here it must arrive whole, with
    // the dot line doubled and the 200 Base64 characters in lines of 80, 80 and 40.
    const std::string content = talks[0].substr(start.size() + data.size());
    EXPECT_EQ(Steady(content), Steady(BuildSmtpMessage(job.message, "dev@example.org", 0, 0)));
    std::string base64;
    for (int i = 0; i < 50; ++i) {
        base64 += "AQEB"; // three 0x01 bytes
    }
    EXPECT_NE(content.find("\r\nFirst line\r\n..\r\nlast line\r\n"), std::string::npos);
    EXPECT_NE(content.find("\r\n\r\n" + base64.substr(0, 80) + "\r\n" + base64.substr(80, 80) +
                           "\r\n" + base64.substr(160) +
                           "\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n.\r\n"),
              std::string::npos);
    EXPECT_EQ(talks[1], start + "RCPT TO:<nobody@example.org>\r\n"); // no DATA, no QUIT

    ASSERT_EQ(events_.warnings.size(), 1u);
    EXPECT_EQ(events_.warnings[0].first, TFaultTrapErrorCode::eeEmailSMTPError);
    const std::string& warning = events_.warnings[0].second;
    EXPECT_TRUE(warning.starts_with("[SMTP] Connected to 127.0.0.1 port ")) << warning;
    EXPECT_NE(warning.find("RCPT TO:<nobody@example.org>\r\n550 5.1.1 No such user\r\n"),
              std::string::npos);
    EXPECT_EQ(warning.find("cGFzcw=="), std::string::npos); // the password stays out of the log
    EXPECT_EQ(progress_.steps, (std::vector<std::string>{
                                   "Connecting with server... 1/2", "Connected with server. 1/2",
                                   "Sending message... 1/2", "Connecting with server... 2/2",
                                   "Connected with server. 2/2", "Sending message... 2/2",
                                   "error box Error. [SMTP] Connected to 127.0.0.1 port " +
                                       std::to_string(server.Port())}));
    EXPECT_EQ(progress_.percents.front(), 0);
    EXPECT_EQ(progress_.percents[progress_.percents.size() - 2], 100);
}

TEST_F(SmtpDelivery, WithoutCredentialsTheConversationStartsWithHeloAndNeverAuthenticates) {
    RecordingSmtpServer server;
    ASSERT_TRUE(
        SendBySmtp(Job(server.Port()), "dev@example.org", options_, progress_, false, events_));
    const std::vector<std::string> talks = server.Conversations(1);
    ASSERT_EQ(talks.size(), 1u);
    EXPECT_TRUE(talks[0].starts_with("HELO pharmacy-pc\r\nRSET\r\nMAIL FROM:<bugs@example.com>\r\n"
                                     "RCPT TO:<dev@example.org>\r\nDATA\r\nDate: "))
        << talks[0];
    EXPECT_EQ(talks[0].find("AUTH"), std::string::npos);
    EXPECT_TRUE(events_.warnings.empty());
}

TEST_F(SmtpDelivery, HostileServersEndInAWarningWithinTheTimeOut) {
    struct Case {
        RecordingSmtpServer::Behaviour behaviour;
        const char* failure;
    } cases[] = {
        {RecordingSmtpServer::Behaviour::Silent, "[SMTP] Socket timeout.\r\nSocket log:\r\n"},
        {RecordingSmtpServer::Behaviour::Garbage, "[SMTP] Connected to 127.0.0.1 port "},
        {RecordingSmtpServer::Behaviour::CloseInData, "[SMTP] Error into \""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        RecordingSmtpServer server(c.behaviour);
        TSmtpJob job = Job(server.Port());
        job.timeoutMs = 500;
        // A large attachment, so that the server hangs up while the message is still going.
        job.message.attachments = {
            {folder_.Write("big.bin", std::string(1 << 20, 'z')).string(), "big.bin"}};
        testing::RecordingEvents events;
        const Clock::time_point start = Clock::now();
        EXPECT_FALSE(SendBySmtp(job, "dev@example.org", options_, progress_, false, events));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
        ASSERT_EQ(events.warnings.size(), 1u);
        EXPECT_TRUE(events.warnings[0].second.starts_with(c.failure)) << events.warnings[0].second;
    }
}

TEST_F(SmtpDelivery, NoServerGivesTheConnectionError) {
    const std::uint16_t port = testing::FreeLoopbackPort(SOCK_STREAM);
    EXPECT_FALSE(SendBySmtp(Job(port), "dev@example.org", options_, progress_, false, events_));
    ASSERT_EQ(events_.warnings.size(), 1u);
    EXPECT_EQ(events_.warnings[0].second.substr(0, 45),
              "[SMTP] Connection error: \"Connection refused\"");
}

TEST_F(SmtpDelivery, DirectRouteAsksTheDnsForEachRecipientAndOneGoodDomainIsEnough) {
    RecordingSmtpServer server;
    const unsigned short dnsPort = testing::FreeLoopbackPort(SOCK_DGRAM);
    const std::string log = (folder_ / "dnsmasq.log").string();
    testing::ChildProcess dnsmasq =
        testing::StartDnsmasq(dnsPort, "example.test", "localhost", log);
    ASSERT_TRUE(dnsmasq.Started());
    TSmtpJob job = Job(server.Port());
    job.direct = true;
    job.host.clear();
    job.userId = "ignored when direct";
    job.dnsTimeoutMs = 600;
    job.dns.resolvConf = folder_.Write("resolv.conf", "nameserver 127.0.0.1\n").string();
    job.dns.port = dnsPort;
    job.dns.fallbackServer.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // dnsmasq starts listening
    ASSERT_TRUE(
        SendBySmtp(job, "a@unknown.test, dev@example.test", options_, progress_, false, events_))
        << testing::ReadFile(log);
    const std::vector<std::string> talks = server.Conversations(1);
    ASSERT_EQ(talks.size(), 1u);
    EXPECT_TRUE(talks[0].starts_with("HELO pharmacy-pc\r\nRSET\r\nMAIL FROM:<bugs@example.com>\r\n"
                                     "RCPT TO:<dev@example.test>\r\n"));
    ASSERT_EQ(events_.warnings.size(), 1u);
    EXPECT_EQ(events_.warnings[0].second, "[SMTP] Cannot resolve the \"unknown.test\" MX record.");
    EXPECT_EQ(progress_.steps.front(), "Resolving DNS... 1/2");
    EXPECT_EQ(progress_.steps[1], "Resolving DNS... 2/2");
}

TEST_F(SmtpDelivery, RealSmtpServerAcceptsTheMessage) {
    const unsigned short port = testing::FreeLoopbackPort(SOCK_STREAM);
    const std::string output = (folder_ / "aiosmtpd.log").string();
    testing::ChildProcess aiosmtpd({"/usr/bin/python3", "-u", "-m", "aiosmtpd", "-n", "-l",
                                    "127.0.0.1:" + std::to_string(port)},
                                   output);
    ASSERT_TRUE(aiosmtpd.Started());
    ASSERT_TRUE(testing::WaitForTcpPort(port, 10000));
    ASSERT_TRUE(SendBySmtp(Job(port), "dev@example.org;second@example.org", options_, progress_,
                           false, events_))
        << (events_.warnings.empty() ? "" : events_.warnings[0].second);
    EXPECT_TRUE(events_.warnings.empty());
    aiosmtpd.Stop();
    const std::string printed = testing::ReadFile(output);
    EXPECT_NE(printed.find("Subject: Bug report"), std::string::npos) << printed;
    EXPECT_NE(printed.find("\nFirst line\n.\nlast line\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("To: <second@example.org>"), std::string::npos);
}

} // namespace
} // namespace faulttrap
