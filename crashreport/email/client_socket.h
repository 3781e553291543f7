#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace faulttrap {

// From now on every wait of every socket ends at once as a time-out: the program is ending and
// its deliveries are abandoned.
void AbandonSocketConversations();

// One blocking TCP connection with a conversation log: "Connected to a.b.c.d port n" after
// connecting, then every text sent and every reply received, in order. Every wait is bounded by
// the time-out.
class TFaultClientSocket {
public:
    // Told before an error is raised: code -1 and the error text.
    using TErrorCallback = std::function<void(TFaultClientSocket&, int, const std::string&)>;
    // Told after each piece sent: the bytes sent so far and the total.
    using TSentCallback = std::function<void(TFaultClientSocket&, std::size_t, std::size_t)>;

    static constexpr std::size_t SendPieceSize = 1024;
    // A reply longer than this is refused rather than read on without end.
    static constexpr std::size_t MaxReplySize = 64 * 1024;
    // Of each reply the log (and so every warning) keeps this much.
    static constexpr std::size_t LoggedReplySize = 300;

    TFaultClientSocket(std::string host, std::uint16_t port, std::uint32_t timeoutMs);
    TFaultClientSocket(const TFaultClientSocket&) = delete;
    TFaultClientSocket& operator=(const TFaultClientSocket&) = delete;
    virtual ~TFaultClientSocket();

    // Resolves the host (IPv4), connects within the time-out and resets the log. Raises
    // "Invalid socket: "%s"." or "Connection error: "%s"".
    virtual void Connect();
    // Closes the socket; raises "Cannot close the socket: "%s"" when that fails.
    void Disconnect();
    bool Connected() const { return socket_ >= 0; }

    // Sends the text in pieces of SendPieceSize bytes; returns the bytes sent. Raises
    // "Error into "send": "%s"" (also when the peer takes nothing within the time-out).
    std::size_t SendText(std::string_view text);
    // What the socket holds now, and more while it keeps arriving within 1000 ms of the last
    // piece (or until ReplyComplete says the reply is whole). Raises "Error into "recv": "%s"".
    std::string ReceiveAvailable();
    // Waits up to the time-out for data; empty on time-out.
    std::string Receive();
    // As Receive, but raises "Socket timeout." on time-out.
    std::string ReceiveOrFail();

    const std::string& Log() const { return log_; }
    const std::string& Host() const { return host_; }
    std::uint16_t Port() const { return port_; }
    std::uint32_t TimeoutMs() const { return timeoutMs_; }

    void SetOnError(TErrorCallback callback) { onError_ = std::move(callback); }
    void SetOnSent(TSentCallback callback) { onSent_ = std::move(callback); }
    // From now on no wait goes past `deadline`: the conversation as a whole then times out.
    void SetDeadline(std::chrono::steady_clock::time_point deadline) { deadline_ = deadline; }

protected:
    // Whether `received` is a whole reply, so that reading stops without waiting for more.
    virtual bool ReplyComplete(std::string_view received) const;
    // Whether `received` is a reply that has said more is coming: reading it then waits for the
    // rest up to the time-out instead of ending after a pause.
    virtual bool ReplyPending(std::string_view received) const;
    // Tells the error callback, then raises EFaultSocketError with `text` and the log.
    [[noreturn]] void Fail(const std::string& text);
    void AppendLog(std::string_view text) { log_ += text; }

private:
    [[noreturn]] void FailAndDisconnect(const std::string& text);
    // Reads what is there; false when the peer has closed the connection.
    bool ReadInto(std::string& received);
    // The end of a wait that starts now: the time-out, or the conversation's deadline if sooner.
    std::chrono::steady_clock::time_point Deadline() const;
    int WaitMs() const;

    std::string host_;
    std::uint16_t port_;
    std::uint32_t timeoutMs_;
    int socket_ = -1;
    std::string log_;
    TErrorCallback onError_;
    TSentCallback onSent_;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    std::size_t loggedOfReply_ = 0; // bytes of the current reply received
    bool clipNoted_ = false;
};

} // namespace faulttrap
