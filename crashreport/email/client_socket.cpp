#include "crashreport/email/client_socket.h"

#include "crashreport/email/fault_socket_error.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace faulttrap {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int MorePiecesWindowMs = 1000;

std::string SystemError(int error) {
    return std::strerror(error);
}

int MillisecondsLeft(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) {
        return INT32_MAX;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

std::atomic<bool> abandoned{false};

// Waits in short slices, so that an abandoned conversation ends at once.
int PollAbandonable(pollfd& entry, int timeoutMs) {
    constexpr int SliceMs = 200;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (abandoned) {
            return 0;
        }
        const int wait = std::min(SliceMs, MillisecondsLeft(end));
        const int ready = poll(&entry, 1, wait);
        if ((ready < 0 && errno != EINTR) || ready > 0 || MillisecondsLeft(end) == 0) {
            return ready;
        }
    }
}

bool WaitReadable(int socket, int timeoutMs) {
    pollfd entry{socket, POLLIN, 0};
    return PollAbandonable(entry, timeoutMs) > 0;
}

} // namespace

void AbandonSocketConversations() {
    abandoned = true;
}

TFaultClientSocket::TFaultClientSocket(std::string host, std::uint16_t port,
                                       std::uint32_t timeoutMs)
    : host_(std::move(host)), port_(port), timeoutMs_(timeoutMs) {}

TFaultClientSocket::~TFaultClientSocket() {
    if (socket_ >= 0) {
        close(socket_);
    }
}

void TFaultClientSocket::Fail(const std::string& text) {
    if (onError_) {
        onError_(*this, -1, text);
    }
    if (log_.find(text) != std::string::npos) {
        throw EFaultSocketError(text);
    }
    throw EFaultSocketError(text + "\r\nSocket log:\r\n" + log_);
}

void TFaultClientSocket::FailAndDisconnect(const std::string& text) {
    close(socket_);
    socket_ = -1;
    Fail(text);
}

void TFaultClientSocket::Connect() {
    if (socket_ >= 0) {
        Disconnect();
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    // An unknown host is an error here: connecting to 0.0.0.0 instead would reach this machine.
    if (const int error = getaddrinfo(host_.c_str(), nullptr, &hints, &found); error != 0) {
        Fail("Connection error: \"" + std::string(gai_strerror(error)) + "\"");
    }
    sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    freeaddrinfo(found);
    address.sin_port = htons(port_);

    socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0) {
        Fail("Invalid socket: \"" + SystemError(errno) + "\".");
    }
    if (connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        int error = errno;
        if (error == EINPROGRESS) {
            pollfd entry{socket_, POLLOUT, 0};
            const int ready = PollAbandonable(entry, WaitMs());
            socklen_t size = sizeof error;
            error = ready > 0 ? (getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &size), error)
                              : ETIMEDOUT;
        }
        if (error != 0) {
            FailAndDisconnect("Connection error: \"" + SystemError(error) + "\"");
        }
    }
    // Blocking from here on, but a peer that takes nothing cannot hold a send for ever.
    fcntl(socket_, F_SETFL, fcntl(socket_, F_GETFL) & ~O_NONBLOCK);
    timeval limit{static_cast<time_t>(timeoutMs_ / 1000),
                  static_cast<suseconds_t>(timeoutMs_ % 1000 * 1000)};
    setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);

    const auto* ip = reinterpret_cast<const unsigned char*>(&address.sin_addr);
    log_ = "Connected to " + std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." +
           std::to_string(ip[2]) + "." + std::to_string(ip[3]) + " port " + std::to_string(port_) +
           "\r\n";
}

void TFaultClientSocket::Disconnect() {
    if (socket_ < 0) {
        return;
    }
    const int result = close(socket_);
    socket_ = -1;
    if (result != 0) {
        Fail("Cannot close the socket: \"" + SystemError(errno) + "\"");
    }
}

std::size_t TFaultClientSocket::SendText(std::string_view text) {
    if (socket_ < 0) {
        Fail("Error into \"send\": \"" + SystemError(ENOTCONN) + "\"");
    }
    std::size_t sent = 0;
    while (sent < text.size()) {
        if (deadline_ != Clock::time_point::max() && Clock::now() >= deadline_) {
            FailAndDisconnect("Error into \"send\": \"Socket timeout.\"");
        }
        const std::size_t piece = std::min(SendPieceSize, text.size() - sent);
        const ssize_t written = send(socket_, text.data() + sent, piece, MSG_NOSIGNAL);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            FailAndDisconnect("Error into \"send\": \"" +
                              (error == EAGAIN || error == EWOULDBLOCK
                                   ? std::string("Socket timeout.")
                                   : SystemError(error)) +
                              "\"");
        }
        sent += static_cast<std::size_t>(written);
        if (onSent_) {
            onSent_(*this, sent, text.size());
        }
    }
    return sent;
}

bool TFaultClientSocket::ReadInto(std::string& received) {
    char buffer[4096];
    ssize_t count;
    do {
        count = recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return true;
        }
        FailAndDisconnect("Error into \"recv\": \"" + SystemError(errno) + "\"");
    }
    received.append(buffer, static_cast<std::size_t>(count));
    // A reply is logged up to LoggedReplySize, so that no server fills the warnings.
    const std::size_t room =
        loggedOfReply_ < LoggedReplySize ? LoggedReplySize - loggedOfReply_ : 0;
    const std::size_t logged = std::min(room, static_cast<std::size_t>(count));
    log_.append(buffer, logged);
    loggedOfReply_ += static_cast<std::size_t>(count);
    if (logged < static_cast<std::size_t>(count) && !clipNoted_) {
        log_ += "[...]\r\n";
        clipNoted_ = true;
    }
    return count > 0;
}

bool TFaultClientSocket::ReplyComplete(std::string_view) const {
    return false;
}

std::string TFaultClientSocket::ReceiveAvailable() {
    std::string received;
    if (socket_ < 0 || !WaitReadable(socket_, 0)) {
        return received;
    }
    const Clock::time_point deadline = Deadline();
    bool open = ReadInto(received);
    while (open && !ReplyComplete(received)) {
        if (received.size() > MaxReplySize) {
            FailAndDisconnect("Error into \"recv\": \"Reply too long.\"");
        }
        // A reply that announced more lines is waited for; a pause ends any other.
        const int wait = ReplyPending(received)
                             ? MillisecondsLeft(deadline)
                             : std::min(MorePiecesWindowMs, MillisecondsLeft(deadline));
        if (wait == 0 || !WaitReadable(socket_, wait)) {
            // A reply cut off by the time-out is no reply.
            if (ReplyPending(received)) { // it was waited for until the time ran out
                Fail("Socket timeout.");
            }
            break;
        }
        open = ReadInto(received);
    }
    if (!open && received.empty()) {
        FailAndDisconnect("Error into \"recv\": \"Connection closed by the server.\"");
    }
    return received;
}

bool TFaultClientSocket::ReplyPending(std::string_view) const {
    return false;
}

Clock::time_point TFaultClientSocket::Deadline() const {
    return std::min(deadline_, Clock::now() + std::chrono::milliseconds(timeoutMs_));
}

int TFaultClientSocket::WaitMs() const {
    return MillisecondsLeft(Deadline());
}

std::string TFaultClientSocket::Receive() {
    loggedOfReply_ = 0;
    clipNoted_ = false;
    const Clock::time_point deadline = Deadline();
    while (socket_ >= 0) {
        if (!WaitReadable(socket_, MillisecondsLeft(deadline))) {
            return {};
        }
        std::string received = ReceiveAvailable();
        if (!received.empty()) {
            return received;
        }
    }
    return {};
}

std::string TFaultClientSocket::ReceiveOrFail() {
    std::string received = Receive();
    if (received.empty()) {
        Fail("Socket timeout.");
    }
    return received;
}

} // namespace faulttrap
