#include "crashreport/email/smtp_reply.h"

namespace faulttrap {

namespace {

constexpr std::size_t MaxCodeDigits = 9;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<int> SmtpReplyCode(std::string_view reply) {
    int code = 0;
    std::size_t digits = 0;
    while (digits < reply.size() && IsDigit(reply[digits])) {
        if (++digits > MaxCodeDigits) {
            return std::nullopt;
        }
        code = code * 10 + (reply[digits - 1] - '0');
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return code;
}

namespace {

bool IsContinuation(std::string_view line) {
    return line.size() > 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]) &&
           line[3] == '-';
}

// The last line of `received` that a line feed ends; none when no line is whole yet.
std::optional<std::string_view> LastWholeLine(std::string_view received) {
    const std::size_t end = received.find_last_of('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t previous =
        end == 0 ? std::string_view::npos : received.find_last_of('\n', end - 1);
    const std::size_t start = previous == std::string_view::npos ? 0 : previous + 1;
    return received.substr(start, end + 1 - start);
}

} // namespace

bool SmtpReplyComplete(std::string_view received) {
    if (received.empty() || received.back() != '\n') {
        return false;
    }
    return !IsContinuation(*LastWholeLine(received));
}

bool SmtpReplyPending(std::string_view received) {
    const std::optional<std::string_view> line = LastWholeLine(received);
    if (!received.empty() && received.back() != '\n') {
        const std::size_t end = received.find_last_of('\n');
        if (IsContinuation(received.substr(end == std::string_view::npos ? 0 : end + 1))) {
            return true;
        }
    }
    return line && IsContinuation(*line);
}

} // namespace faulttrap
