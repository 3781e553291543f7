#include "smtp_reply.h"

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

bool SmtpReplyComplete(std::string_view received) {
    if (received.empty() || received.back() != '\n') {
        return false;
    }
    const std::size_t previous = received.find_last_of('\n', received.size() - 2);
    const std::string_view line =
        received.substr(previous == std::string_view::npos ? 0 : previous + 1);
    const bool continuation = line.size() > 3 && IsDigit(line[0]) && IsDigit(line[1]) &&
                              IsDigit(line[2]) && line[3] == '-';
    return !continuation;
}

} // namespace faulttrap
