#include "crashreport/email/mx_lookup.h"

#include "crashreport/email/dns_mx.h"
#include "crashreport/email/fault_socket_error.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>

namespace faulttrap {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Attempts = 3;
constexpr std::uint32_t AttemptStepMs = 100;

// Closes the socket however the exchange ends.
class TUdpSocket {
public:
    TUdpSocket() : socket_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~TUdpSocket() {
        if (socket_ >= 0) {
            close(socket_);
        }
    }
    TUdpSocket(const TUdpSocket&) = delete;
    TUdpSocket& operator=(const TUdpSocket&) = delete;
    int Handle() const { return socket_; }

private:
    int socket_;
};

enum class TOutcome { Answered, Refused, TimedOut };

// Sends the query and waits for the reply; datagrams that are not our reply are ignored.
TOutcome AskOnce(const sockaddr_in& server, const std::string& query, std::uint32_t timeoutMs,
                 std::string& host) {
    TUdpSocket udp;
    if (udp.Handle() < 0 ||
        connect(udp.Handle(), reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0 ||
        send(udp.Handle(), query.data(), query.size(), MSG_NOSIGNAL) < 0) {
        return TOutcome::Refused;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd entry{udp.Handle(), POLLIN, 0};
        const int ready = left > 0 ? poll(&entry, 1, static_cast<int>(left)) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return TOutcome::TimedOut;
        }
        char buffer[MaxDnsDatagram + 1];
        // MSG_TRUNC gives the real length, so an oversized datagram is seen as such.
        const ssize_t size = recv(udp.Handle(), buffer, sizeof buffer - 1, MSG_TRUNC);
        if (size < 0) {
            return TOutcome::Refused; // for example the port is closed on that server
        }
        const std::string_view datagram(buffer, std::min<std::size_t>(size, sizeof buffer - 1));
        if (static_cast<std::size_t>(size) > MaxDnsDatagram) {
            return TOutcome::Refused;
        }
        if (std::optional<std::string> exchange = ParseMxAnswer(datagram)) {
            host = std::move(*exchange);
            return TOutcome::Answered;
        }
        // A reply to our query that names no exchange ends this server; others are ignored.
        if (datagram.size() >= 2 && datagram.substr(0, 2) == query.substr(0, 2)) {
            return TOutcome::Refused;
        }
    }
}

} // namespace

std::vector<std::string> DnsServers(const TDnsSettings& settings) {
    std::vector<std::string> servers;
    std::ifstream file(settings.resolvConf);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string keyword, address;
        in_addr parsed{};
        if (words >> keyword >> address && keyword == "nameserver" &&
            inet_pton(AF_INET, address.c_str(), &parsed) == 1 && parsed.s_addr != INADDR_ANY) {
            servers.push_back(address);
        }
    }
    if (!settings.fallbackServer.empty()) {
        servers.push_back(settings.fallbackServer);
    }
    return servers;
}

std::string LookUpMailExchanger(std::string_view address, std::uint32_t timeoutMs,
                                const TDnsSettings& settings) {
    const std::size_t at = address.find('@');
    const std::string domain(at == std::string_view::npos ? address : address.substr(at + 1));
    const std::optional<std::string> query = BuildMxQuery(domain);
    if (query) {
        const std::uint32_t first = (timeoutMs + 150) / 3;
        for (const std::string& server : DnsServers(settings)) {
            sockaddr_in target{};
            target.sin_family = AF_INET;
            target.sin_port = htons(settings.port);
            if (inet_pton(AF_INET, server.c_str(), &target.sin_addr) != 1) {
                continue;
            }
            std::string host;
            for (int attempt = 0; attempt < Attempts; ++attempt) {
                const TOutcome outcome =
                    AskOnce(target, *query, first + AttemptStepMs * attempt, host);
                if (outcome == TOutcome::Answered) {
                    return host;
                }
                if (outcome == TOutcome::Refused) {
                    break;
                }
            }
        }
    }
    throw EFaultSocketError("Cannot resolve the \"" + domain + "\" MX record.");
}

} // namespace faulttrap
