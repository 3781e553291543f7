// Feeds arbitrary server replies to the SMTP reply parser.

#include "crashreport/email/smtp_reply.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    if (const auto code = faulttrap::SmtpReplyCode(reply); code && *code < 0) {
        std::abort(); // a run of at most nine digits cannot be negative
    }
    const bool complete = faulttrap::SmtpReplyComplete(reply);
    if (complete && (reply.empty() || reply.back() != '\n')) {
        std::abort();
    }
    return 0;
}
