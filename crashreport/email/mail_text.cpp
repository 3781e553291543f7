#include "crashreport/email/mail_text.h"

#include "crashreport/text/strings.h"

#include <pwd.h>
#include <unistd.h>

#include <array>

namespace faulttrap {

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

} // namespace

std::string ReplaceControlRuns(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsControl(text[i])) {
            out += ' ';
            while (i + 1 < text.size() && IsControl(text[i + 1])) {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> SplitRecipients(std::string_view addresses) {
    std::vector<std::string> recipients;
    std::size_t start = 0;
    while (start <= addresses.size()) {
        const std::size_t end = std::min(addresses.find_first_of(",;", start), addresses.size());
        const std::string_view piece = TrimmedView(addresses.substr(start, end - start), " \t\r\n");
        if (!piece.empty()) {
            recipients.emplace_back(piece);
        }
        start = end + 1;
    }
    return recipients;
}

TMailSender ParseMailSender(std::string_view smtpFrom, std::string_view senderName) {
    if (smtpFrom.find_first_of("\"<") == std::string_view::npos) {
        return {ReplaceControlRuns("\"" + std::string(senderName) + "\" <" + std::string(smtpFrom) +
                                   ">"),
                std::string(smtpFrom)};
    }
    TMailSender sender{ReplaceControlRuns(smtpFrom), std::string(smtpFrom)};
    // The address inside the angle brackets, also when the display name is not quoted.
    const std::size_t open = smtpFrom.find('<');
    if (open != std::string_view::npos) {
        const std::size_t close = smtpFrom.find('>', open);
        sender.envelope = std::string(smtpFrom.substr(
            open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
    }
    return sender;
}

std::string DefaultSenderName() {
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_name != nullptr ? std::string(user->pw_name).substr(0, 49)
                                                       : std::string();
}

std::string LocalHostName() {
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) != 0) {
        return "localhost";
    }
    return host.data();
}

} // namespace faulttrap
