#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// Every run of control characters (bytes below 32 and 127) replaced by one space: header values
// must stay on one line.
std::string ReplaceControlRuns(std::string_view text);
// The recipients split at "," and ";", each trimmed; empty pieces are dropped.
std::vector<std::string> SplitRecipients(std::string_view addresses);

// The From header and the envelope address of the sender option.
struct TMailSender {
    std::string fromHeader;
    std::string envelope;
};

// A value with a double quote or "<" is the From header as it is; its envelope address is what
// stands inside its angle brackets (the whole value when it has none). A bare address gets the
// sender's name: "\"name\" <address>".
TMailSender ParseMailSender(std::string_view smtpFrom, std::string_view senderName);
// The logged-on user's name, which stands for the system's registered owner.
std::string DefaultSenderName();
// This computer's host name, for HELO and EHLO.
std::string LocalHostName();

} // namespace faulttrap
