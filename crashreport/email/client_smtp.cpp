#include "crashreport/email/client_smtp.h"

#include "crashreport/email/smtp_reply.h"

#include <algorithm>

namespace faulttrap {

void TFaultClientSMTP::Connect() {
    TFaultClientSocket::Connect();
    ExpectReply({220});
}

std::string TFaultClientSMTP::Command(std::string_view text, std::initializer_list<int> accepted) {
    return Exchange(text, text, accepted);
}

std::string TFaultClientSMTP::SecretCommand(std::string_view text,
                                            std::initializer_list<int> accepted) {
    return Exchange(text, "********", accepted);
}

std::string TFaultClientSMTP::Exchange(std::string_view text, std::string_view logged,
                                       std::initializer_list<int> accepted) {
    std::string line(text);
    if (!line.ends_with("\r\n")) {
        line += "\r\n";
    }
    SendText(line);
    AppendLog(logged);
    if (!logged.ends_with("\r\n")) {
        AppendLog("\r\n");
    }
    return ExpectReply(accepted);
}

std::string TFaultClientSMTP::ExpectReply(std::initializer_list<int> accepted) {
    std::string reply = ReceiveOrFail();
    const std::optional<int> code = SmtpReplyCode(reply);
    if (!code || std::find(accepted.begin(), accepted.end(), *code) == accepted.end()) {
        Fail(Log());
    }
    return reply;
}

bool TFaultClientSMTP::ReplyComplete(std::string_view received) const {
    return SmtpReplyComplete(received);
}

bool TFaultClientSMTP::ReplyPending(std::string_view received) const {
    return SmtpReplyPending(received);
}

} // namespace faulttrap
