#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace faulttrap::testing {

// A small SMTP server on a loopback port that records every byte each connection sends. It can
// misbehave in the ways a hostile or broken server does.
class RecordingSmtpServer {
public:
    enum class Behaviour {
        Normal,
        Silent,      // accepts the connection and never says a word
        Garbage,     // greets with a line that is no SMTP reply
        CloseInData, // hangs up while the message is being sent
    };

    explicit RecordingSmtpServer(Behaviour behaviour = Behaviour::Normal,
                                 std::set<std::string> refusedRecipients = {});
    ~RecordingSmtpServer();
    RecordingSmtpServer(const RecordingSmtpServer&) = delete;
    RecordingSmtpServer& operator=(const RecordingSmtpServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // What each finished connection sent, in order.
    std::vector<std::string> Conversations() const;
    // Conversations, once `count` of them have finished (or after five seconds).
    std::vector<std::string> Conversations(std::size_t count) const;

private:
    void Serve();
    void Converse(int client);

    Behaviour behaviour_;
    std::set<std::string> refused_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable finished_;
    std::vector<std::string> conversations_;
    std::thread thread_;
};

} // namespace faulttrap::testing
