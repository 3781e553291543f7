#include "crashreport/email/dns_mx.h"
#include "crashreport/email/fault_socket_error.h"
#include "crashreport/email/mx_lookup.h"

#include "crashreport/email/tests/child_process.h"
#include "crashreport/email/tests/scripted_dns_server.h"
#include "crashreport/packaging/tests/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>

namespace faulttrap {
namespace {

using Clock = std::chrono::steady_clock;

const std::string ExampleQuery("\x41\x41\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00"
                               "\x07"
                               "example\x04test\x00\x00\x0F\x00\x01",
                               30);

std::string Word(std::uint16_t value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

// An answer record owned by the question's name (a pointer to offset 12).
std::string Record(std::uint16_t type, const std::string& data) {
    return std::string("\xC0\x0C", 2) + Word(type) + Word(1) + std::string("\0\0\x0E\x10", 4) +
           Word(static_cast<std::uint16_t>(data.size())) + data;
}

std::string Reply(const std::string& query, std::uint16_t answers, const std::string& records) {
    std::string reply = query;
    reply[2] = '\x81';
    reply[3] = '\x80';
    reply.replace(6, 2, Word(answers));
    return reply + records;
}

const std::string MailPointer = Word(10) + std::string("\x04mail\xC0\x0C", 7);
const std::string GoodReply = Reply(ExampleQuery, 1, Record(15, MailPointer));

TEST(DnsMx, QueryIsTheFixedHeaderTheLabelsAndTypeMX) {
    EXPECT_EQ(BuildMxQuery("example.test"), ExampleQuery);
    EXPECT_EQ(BuildMxQuery("example.test."), ExampleQuery);
    const std::string tooLongLabel = std::string(64, 'x') + ".test";
    for (const std::string& bad :
         {std::string(), std::string("a..b"), std::string(".a"), tooLongLabel}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(BuildMxQuery(bad), std::nullopt);
    }
}

TEST(DnsMx, AnswerGivesTheFirstExchangeFollowingCompression) {
    struct Case {
        const char* name;
        std::string datagram;
        std::optional<std::string> host;
    } cases[] = {
        {"compressed", GoodReply, "mail.example.test"},
        {"plain", Reply(ExampleQuery, 1, Record(15, Word(5) + std::string("\x02mx\x03org\x00", 8))),
         "mx.org"},
        {"alias first",
         Reply(ExampleQuery, 2,
               Record(5, std::string("\x05"
                                     "alias\xC0\x0C",
                                     8)) +
                   Record(15, MailPointer)),
         "mail.example.test"},
        {"no answer", Reply(ExampleQuery, 0, ""), std::nullopt},
        {"truncated", GoodReply.substr(0, GoodReply.size() - 3), std::nullopt},
        {"pointer to itself",
         Reply(ExampleQuery, 1, Record(15, Word(10) + std::string("\xC0\x2C", 2))), std::nullopt},
        {"pointer forwards",
         Reply(ExampleQuery, 1, Record(15, Word(10) + std::string("\xC0\x50", 2))), std::nullopt},
        {"reserved label kind",
         Reply(ExampleQuery, 1, Record(15, Word(10) + std::string("\x45mail\x00", 6))),
         std::nullopt},
        {"dot inside a label",
         Reply(ExampleQuery, 1, Record(15, Word(10) + std::string("\x04ma.l\xC0\x0C", 7))),
         std::nullopt},
        {"zero byte inside a label",
         Reply(ExampleQuery, 1, Record(15, Word(10) + std::string("\x04ma\0l\xC0\x0C", 7))),
         std::nullopt},
        {"oversized", GoodReply + std::string(600, '\0'), std::nullopt},
        {"not a reply", ExampleQuery, std::nullopt},
        {"other identifier", std::string("\x12\x34") + GoodReply.substr(2), std::nullopt},
        {"record overruns",
         Reply(ExampleQuery, 1, Record(15, MailPointer).substr(0, 10) + Word(200) + MailPointer),
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseMxAnswer(c.datagram), c.host);
    }
}

class MxLookup : public ::testing::Test {
protected:
    TDnsSettings Settings(std::uint16_t port,
                          const std::string& servers = "nameserver 127.0.0.1\n") {
        TDnsSettings settings;
        settings.resolvConf = folder_.Write("resolv.conf", servers).string();
        settings.port = port;
        settings.fallbackServer.clear(); // loopback only
        return settings;
    }

    testing::TempFolder folder_;
};

TEST_F(MxLookup, ServersComeFromTheResolverFileWithoutZeroAddressesThenTheFallback) {
    TDnsSettings settings = Settings(53, "# comment\nnameserver 10.0.0.1\nnameserver 0.0.0.0\n"
                                         "nameserver ::1\nsearch lan\nnameserver 10.0.0.2 \n");
    settings.fallbackServer = "9.9.9.9";
    EXPECT_EQ(DnsServers(settings), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "9.9.9.9"}));
}

TEST_F(MxLookup, RealDnsServerNamesTheExchange) {
    const unsigned short port = testing::FreeLoopbackPort(SOCK_DGRAM);
    const std::string log = (folder_ / "dnsmasq.log").string();
    testing::ChildProcess dnsmasq =
        testing::StartDnsmasq(port, "example.test", "mail.example.test", log);
    ASSERT_TRUE(dnsmasq.Started());
    std::string host;
    for (int i = 0; i < 20 && host.empty(); ++i) { // until dnsmasq listens
        try {
            host = LookUpMailExchanger("dev@example.test", 300, Settings(port));
        } catch (const EFaultSocketError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    EXPECT_EQ(host, "mail.example.test") << testing::ReadFile(log);
}

TEST_F(MxLookup, AskedQueryIsByteExactAndTheAnswerIsUsed) {
    std::string asked;
    testing::ScriptedDnsServer server([&](const std::string& query) {
        asked = query;
        return Reply(query, 1, Record(15, MailPointer));
    });
    EXPECT_EQ(LookUpMailExchanger("dev@example.test", 1000, Settings(server.Port())),
              "mail.example.test");
    EXPECT_EQ(asked, ExampleQuery);
}

TEST_F(MxLookup, SilentServerIsAskedThreeTimesWithGrowingTimeOuts) {
    testing::ScriptedDnsServer server([](const std::string&) { return std::string(); });
    const Clock::time_point start = Clock::now();
    // T = (300 + 150) / 3 = 150: tries of 150, 250 and 350 ms.
    try {
        LookUpMailExchanger("dev@example.test", 300, Settings(server.Port()));
        FAIL() << "resolved";
    } catch (const EFaultSocketError& error) {
        EXPECT_STREQ(error.what(), "Cannot resolve the \"example.test\" MX record.");
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_EQ(server.Queries(), 3);
    EXPECT_GE(elapsed, 740);
    EXPECT_LT(elapsed, 2000);
}

TEST_F(MxLookup, HostileRepliesEndInTheResolveFailureAtOnce) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> answer;
    } cases[] = {
        {"truncated",
         [](const std::string& q) { return Reply(q, 1, Record(15, MailPointer)).substr(0, 40); }},
        {"compression loop",
         [](const std::string& q) {
             return Reply(q, 1, Record(15, Word(10) + std::string("\xC0\x2C", 2)));
         }},
        {"oversized",
         [](const std::string& q) {
             return Reply(q, 1, Record(15, MailPointer)) + std::string(1500, 'x');
         }},
        {"server failure",
         [](const std::string& q) { return Reply(q, 0, "").replace(3, 1, "\x82"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::ScriptedDnsServer server(c.answer);
        const Clock::time_point start = Clock::now();
        EXPECT_THROW(LookUpMailExchanger("a@example.test", 3000, Settings(server.Port())),
                     EFaultSocketError);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(900));
        EXPECT_EQ(server.Queries(), 1);
    }
}

TEST_F(MxLookup, AddressWithoutAtIsTheDomainItself) {
    testing::ScriptedDnsServer server(
        [](const std::string& query) { return Reply(query, 1, Record(15, MailPointer)); });
    EXPECT_EQ(LookUpMailExchanger("example.test", 1000, Settings(server.Port())),
              "mail.example.test");
    EXPECT_THROW(LookUpMailExchanger("a@bad..domain", 1000, Settings(server.Port())),
                 EFaultSocketError);
    EXPECT_EQ(server.Queries(), 1);
}

} // namespace
} // namespace faulttrap
