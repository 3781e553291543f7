#include "crashreport/email/client_smtp.h"
#include "crashreport/email/client_socket.h"
#include "crashreport/email/fault_socket_error.h"

#include "crashreport/email/tests/child_process.h"
#include "crashreport/email/tests/recording_smtp_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace faulttrap {
namespace {

using Clock = std::chrono::steady_clock;
using testing::RecordingSmtpServer;

TEST(ClientSocket, SendsInPiecesWaitsBoundedAndLogsTheConversation) {
    RecordingSmtpServer server(RecordingSmtpServer::Behaviour::Silent);
    TFaultClientSocket socket("127.0.0.1", server.Port(), 300);
    std::vector<std::pair<std::size_t, std::size_t>> sent;
    socket.SetOnSent([&](TFaultClientSocket&, std::size_t position, std::size_t total) {
        sent.emplace_back(position, total);
    });
    std::vector<std::pair<int, std::string>> errors;
    socket.SetOnError([&](TFaultClientSocket&, int code, const std::string& text) {
        errors.emplace_back(code, text);
    });

    socket.Connect();
    const std::string connected =
        "Connected to 127.0.0.1 port " + std::to_string(server.Port()) + "\r\n";
    EXPECT_EQ(socket.Log(), connected);
    EXPECT_EQ(socket.SendText(std::string(2500, 'x')), 2500u);
    EXPECT_EQ(sent, (std::vector<std::pair<std::size_t, std::size_t>>{
                        {1024, 2500}, {2048, 2500}, {2500, 2500}}));

    const Clock::time_point start = Clock::now();
    EXPECT_EQ(socket.Receive(), "");
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
    try {
        socket.ReceiveOrFail();
        FAIL() << "no time-out";
    } catch (const EFaultSocketError& error) {
        EXPECT_EQ(std::string(error.what()), "Socket timeout.\r\nSocket log:\r\n" + connected);
    }
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(errors, (std::vector<std::pair<int, std::string>>{{-1, "Socket timeout."}}));

    socket.Disconnect();
    EXPECT_FALSE(socket.Connected());
    EXPECT_EQ(server.Conversations(1), std::vector<std::string>{std::string(2500, 'x')});
}

// A server that greets, then answers the first command with a reply in two pieces.
class SplitReplyServer {
public:
    SplitReplyServer() : listener_(testing::BindLoopback(SOCK_STREAM, port_)) {
        listen(listener_, 1);
        thread_ = std::thread([this] {
            const int client = accept(listener_, nullptr, nullptr);
            send(client, "220 hi\r\n", 8, MSG_NOSIGNAL);
            char buffer[256];
            recv(client, buffer, sizeof buffer, 0);
            send(client, "250-first\r\n", 11, MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            send(client, "250 last\r\n", 10, MSG_NOSIGNAL);
            recv(client, buffer, sizeof buffer, 0); // until the client hangs up
            close(client);
        });
    }
    ~SplitReplyServer() {
        thread_.join();
        close(listener_);
    }
    std::uint16_t Port() const { return port_; }

private:
    std::uint16_t port_ = 0;
    int listener_;
    std::thread thread_;
};

TEST(ClientSmtp, ReplyInPiecesIsReadWholeAndNoLongerThanItTakes) {
    SplitReplyServer server;
    TFaultClientSMTP smtp("127.0.0.1", server.Port(), 2000);
    smtp.Connect();
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(smtp.Command("EHLO pc", {250}), "250-first\r\n250 last\r\n");
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(190));
    EXPECT_LT(elapsed, std::chrono::milliseconds(900)); // no quiet second after the last line
    EXPECT_EQ(smtp.Log(), "Connected to 127.0.0.1 port " + std::to_string(server.Port()) +
                              "\r\n220 hi\r\nEHLO pc\r\n250-first\r\n250 last\r\n");
    smtp.Disconnect();
}

} // namespace
} // namespace faulttrap
