#pragma once

#include "mime_message.h"

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
// may read the attachments long after this returns, when the package files are gone: it gets
// copies under their travelling names in a new folder of their own in the temporary folder.
// Failures give the warning eeEmailMAPIError.
bool SendByMapi(const std::string& recipients, const std::string& subject,
                const std::string& message, const std::vector<TMailAttachment>& attachments,
                const TMailClientPrograms& programs, TDeliveryEvents& events);

// "mailto:" + recipients + "?Subject=" + subject + "&Body=" + body, both encoded by MailtoEncode.
std::string MailtoAddress(const std::string& recipients, const std::string& subject,
                          const std::string& body);
// Keeps "-", digits, letters and bytes 128 to 255; every other byte becomes "%XX".
std::string MailtoEncode(const std::string& text);
// Opens the "mailto:" address of the message with the report text appended, and waits for the
// opener to end. A launch that fails gives the warning eeEmailShellError.
bool SendByMailto(const std::string& recipients, const std::string& subject,
                  const std::string& message, const std::string& reportText,
                  const TMailClientPrograms& programs, TDeliveryEvents& events);

} // namespace faulttrap
