#pragma once

#include "crashreport/email/mime_message.h"
#include "crashreport/email/mx_lookup.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace faulttrap {

class TDeliveryEvents;
class TFaultModuleOptions;
class TSendProgress;

// One SMTP delivery: to the configured server, or directly to each recipient's mail exchanger.
struct TSmtpJob {
    bool direct = false; // find each recipient's server by its MX record, no authentication
    std::string host;    // the server when not direct
    std::uint16_t port = 25;
    std::string userId; // with a password: EHLO and AUTH LOGIN (not direct)
    std::string password;
    std::string envelopeFrom;
    std::string localHostName;
    TMailMessage message;
    std::uint32_t timeoutMs = 30000;    // of the SMTP conversation
    std::uint32_t dnsTimeoutMs = 30000; // of the MX query
    // All conversations of the job together end after this long (SendBySmtp).
    std::chrono::milliseconds overallTimeout{120000};
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    TDnsSettings dns;
};

// The conversation for one recipient; raises EFaultSocketError (or another exception of the
// socket layer) on any failure. Status texts go to `progress`, counted `number` of `count`.
void SendSmtpConversation(const TSmtpJob& job, const std::string& server,
                          const std::string& recipient, const TFaultModuleOptions& options,
                          TSendProgress& progress, std::size_t number, std::size_t count);

// One conversation per recipient of `recipients` (split at "," and ";"). A failed recipient gives
// the warning eeEmailSMTPError "[SMTP] <message>", also in a message box when `progressShown`.
// Succeeds when at least one recipient got the message.
bool SendBySmtp(const TSmtpJob& job, const std::string& recipients,
                const TFaultModuleOptions& options, TSendProgress& progress, bool progressShown,
                TDeliveryEvents& events);

} // namespace faulttrap
