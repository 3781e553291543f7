#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

inline constexpr const char* MimeBoundary = "=_xcjvnxkbhvfkxzhfdbvzldjhfv";
inline constexpr std::size_t Base64LineLength = 80;

// A file that travels with the message under its own name.
struct TMailAttachment {
    std::string path;
    std::string name;
};

// Everything of one message but its recipient.
struct TMailMessage {
    std::string fromHeader;
    std::string subject;
    std::string text;
    std::vector<TMailAttachment> attachments;
};

// "Sun, 7 Jan 2024 09:05:03 +0100": the local time with the whole-hour offset from UTC.
std::string SmtpDate(std::time_t time);
// The content of DATA for one recipient, CR LF line ends, lines starting with "." doubled, up
// to and including the terminating "." line. Attachments whose file cannot be read are left
// out. `tickCount` makes the Message-ID.
std::string BuildSmtpMessage(const TMailMessage& message, std::string_view recipient,
                             std::time_t now, std::uint64_t tickCount);

} // namespace faulttrap
