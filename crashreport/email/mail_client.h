#pragma once

#include "crashreport/email/mime_message.h"

#include <string>
#include <vector>

namespace faulttrap {

class TDeliveryEvents;

// The desktop's programs that hand a message to the user's mail client.
struct TMailClientPrograms {
    std::string email = "xdg-email"; // composes a message with attachments
    std::string open = "xdg-open";   // opens a "mailto:" address
};

// Hands the message to the user's mail client (which shows it for sending). Recipients are split
// at "," and ";"; subject and message are expanded for environment variables. The mail client
// gets copies of the attachments under their travelling names in a new folder of its own in the
// temporary folder, removed once the program handing the message over has ended.
// Failures give the warning eeEmailMAPIError.
bool SendByMapi(const std::string& recipients, const std::string& subject,
                const std::string& message, const std::vector<TMailAttachment>& attachments,
                const TMailClientPrograms& programs, TDeliveryEvents& events);

// "mailto:" + recipients + "?Subject=" + subject + "&Body=" + body, both encoded by MailtoEncode.
std::string MailtoAddress(const std::string& recipients, const std::string& subject,
                          const std::string& body);
// Keeps "-", digits, letters and bytes 128 to 255; every other byte becomes "%XX".
std::string MailtoEncode(const std::string& text);

// The longest "mailto:" address handed to the opener: one argument of the system and the
// command lines of the mail clients all take this much.
inline constexpr std::size_t MaxMailtoAddress = 32 * 1024;
// The line that ends a body cut to fit the address.
inline constexpr const char* MailtoCutLine =
    "\r\n\r\n[The report was cut here: it is too long for a \"mailto:\" address.]";
// The "mailto:" address of MailtoAddress, its body cut (whole bytes, then MailtoCutLine) so
// that the address holds at most `maxLength` bytes.
std::string BoundedMailtoAddress(const std::string& recipients, const std::string& subject,
                                 const std::string& body, std::size_t maxLength = MaxMailtoAddress);
// Opens the "mailto:" address of the message with the report text appended (bounded by
// BoundedMailtoAddress), and waits for the opener to end. A launch that fails gives the warning
// eeEmailShellError.
bool SendByMailto(const std::string& recipients, const std::string& subject,
                  const std::string& message, const std::string& reportText,
                  const TMailClientPrograms& programs, TDeliveryEvents& events);

} // namespace faulttrap
