#pragma once

#include "crashreport/email/mail_client.h"
#include "crashreport/email/mime_message.h"
#include "crashreport/email/mx_lookup.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

class TDeliveryEvents;
class TFaultModuleOptions;
class TSendProgress;

// What the e-mail step takes from this computer; tests point it at their own peers.
struct TEmailEnvironment {
    std::string localHostName; // for HELO and EHLO
    std::string senderName;    // the display name of a bare sender address
    TMailClientPrograms programs;
    TDnsSettings dns;
    std::uint32_t smtpTimeoutMs = 30000;
    std::uint32_t dnsTimeoutMs = 30000;
    // All conversations of the step together end after this long.
    std::chrono::milliseconds overallTimeout{120000};
    bool sendsInThread = false; // the progress window then need not stay in front

    // This computer's host name and the logged-on user's name.
    static TEmailEnvironment Default();
};

// The e-mail step of a delivery by the method of `EMailSendMode`, between the action events 4
// and 5; repeated while an ErrorNotify handler asks for a retry. Returns whether it succeeded.
bool SendByEmail(const TFaultModuleOptions& options, const std::string& reportText,
                 const std::vector<TMailAttachment>& attachments, TDeliveryEvents& events,
                 TSendProgress& progress, const TEmailEnvironment& environment);

} // namespace faulttrap
