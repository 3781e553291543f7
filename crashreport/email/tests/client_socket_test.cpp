#include "email/client_socket.h"
#include "email/fault_socket_error.h"

#include "recording_smtp_server.h"

#include <gtest/gtest.h>

#include <chrono>

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

} // namespace
} // namespace faulttrap
