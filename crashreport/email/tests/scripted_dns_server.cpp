#include "crashreport/email/tests/scripted_dns_server.h"

#include "crashreport/email/tests/child_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace faulttrap::testing {

ScriptedDnsServer::ScriptedDnsServer(TAnswer answer) : answer_(std::move(answer)) {
    socket_ = BindLoopback(SOCK_DGRAM, port_);
    thread_ = std::thread([this] {
        while (!stop_) {
            pollfd entry{socket_, POLLIN, 0};
            if (poll(&entry, 1, 20) <= 0) {
                continue;
            }
            char buffer[2048];
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t count = recvfrom(socket_, buffer, sizeof buffer, 0,
                                           reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (count <= 0) {
                continue;
            }
            ++queries_;
            const std::string reply = answer_(std::string(buffer, static_cast<std::size_t>(count)));
            if (!reply.empty()) {
                sendto(socket_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                       fromSize);
            }
        }
    });
}

ScriptedDnsServer::~ScriptedDnsServer() {
    stop_ = true;
    thread_.join();
    close(socket_);
}

} // namespace faulttrap::testing
