#pragma once

#include "crashreport/email/client_socket.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace faulttrap {

// An SMTP conversation on a TFaultClientSocket: each command waits for its reply and checks its
// code.
class TFaultClientSMTP : public TFaultClientSocket {
public:
    using TFaultClientSocket::TFaultClientSocket;

    // Connects and expects the greeting 220.
    void Connect() override;
    // Sends `text` (with CR LF appended unless it ends so), reads the reply and raises
    // EFaultSocketError with the whole log when its code is not among `accepted`. Returns the
    // reply.
    std::string Command(std::string_view text, std::initializer_list<int> accepted);
    // As Command, for a credential: the log shows "********" in its place.
    std::string SecretCommand(std::string_view text, std::initializer_list<int> accepted);

protected:
    bool ReplyComplete(std::string_view received) const override;
    bool ReplyPending(std::string_view received) const override;

private:
    std::string Exchange(std::string_view text, std::string_view logged,
                         std::initializer_list<int> accepted);
    std::string ExpectReply(std::initializer_list<int> accepted);
};

} // namespace faulttrap
