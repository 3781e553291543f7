#include "crashreport/email/tests/recording_smtp_server.h"

#include "crashreport/email/tests/child_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace faulttrap::testing {

namespace {

bool WaitReadable(int socket, int timeoutMs) {
    pollfd entry{socket, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

void Say(int client, const std::string& text) {
    send(client, text.data(), text.size(), MSG_NOSIGNAL);
}

} // namespace

RecordingSmtpServer::RecordingSmtpServer(Behaviour behaviour, std::set<std::string> refused)
    : behaviour_(behaviour), refused_(std::move(refused)) {
    listener_ = BindLoopback(SOCK_STREAM, port_);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
}

RecordingSmtpServer::~RecordingSmtpServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::vector<std::string> RecordingSmtpServer::Conversations() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return conversations_;
}

std::vector<std::string> RecordingSmtpServer::Conversations(std::size_t count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait_for(lock, std::chrono::seconds(5),
                       [&] { return conversations_.size() >= count; });
    return conversations_;
}

void RecordingSmtpServer::Serve() {
    while (!stop_) {
        if (!WaitReadable(listener_, 20)) {
            continue;
        }
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            Converse(client);
            close(client);
        }
    }
}

void RecordingSmtpServer::Converse(int client) {
    std::string received;
    std::size_t lineStart = 0;
    enum class State { Commands, AuthUser, AuthPassword, Data } state = State::Commands;
    if (behaviour_ == Behaviour::Normal || behaviour_ == Behaviour::CloseInData) {
        Say(client, "220 loopback ESMTP test server\r\n");
    } else if (behaviour_ == Behaviour::Garbage) {
        Say(client, "\x01\x02 this is no mail server\r\n");
    }
    while (!stop_) {
        if (!WaitReadable(client, 20)) {
            continue;
        }
        char buffer[4096];
        const ssize_t count = recv(client, buffer, sizeof buffer, 0);
        if (count <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(count));
        if (behaviour_ == Behaviour::Silent || behaviour_ == Behaviour::Garbage) {
            continue;
        }
        if (state == State::Data) {
            if (behaviour_ == Behaviour::CloseInData) {
                break;
            }
            if (received.ends_with("\r\n.\r\n")) {
                Say(client, "250 2.0.0 queued\r\n");
                state = State::Commands;
                lineStart = received.size();
            }
            continue;
        }
        std::size_t end;
        while ((end = received.find("\r\n", lineStart)) != std::string::npos) {
            const std::string line = received.substr(lineStart, end - lineStart);
            lineStart = end + 2;
            if (state == State::AuthUser) {
                Say(client, "334 UGFzc3dvcmQ6\r\n");
                state = State::AuthPassword;
            } else if (state == State::AuthPassword) {
                Say(client, "235 2.7.0 Authentication successful\r\n");
                state = State::Commands;
            } else if (line.starts_with("EHLO")) {
                Say(client, "250-loopback\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n");
            } else if (line == "AUTH LOGIN") {
                Say(client, "334 VXNlcm5hbWU6\r\n");
                state = State::AuthUser;
            } else if (line.starts_with("RCPT TO:<")) {
                const std::string recipient = line.substr(9, line.size() - 10);
                Say(client,
                    refused_.count(recipient) ? "550 5.1.1 No such user\r\n" : "250 2.1.5 OK\r\n");
            } else if (line == "DATA") {
                Say(client, "354 End data with <CR><LF>.<CR><LF>\r\n");
                state = State::Data;
                break;
            } else {
                Say(client, "250 OK\r\n");
            }
        }
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    conversations_.push_back(received);
    finished_.notify_all();
}

} // namespace faulttrap::testing
