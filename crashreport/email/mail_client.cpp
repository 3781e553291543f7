#include "crashreport/email/mail_client.h"

#include "crashreport/email/delivery_events.h"
#include "crashreport/email/mail_text.h"
#include "crashreport/email/run_program.h"

#include "crashreport/options/environment_expansion.h"
#include "crashreport/packaging/package_folder.h"
#include "crashreport/packaging/report_package.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace faulttrap {

namespace {

bool KeptInAddress(unsigned char byte) {
    return byte == '-' || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || byte >= 128;
}

// Copies of the existing attachments under their travelling names, in `folder`.
std::vector<std::string> HandOverCopies(const std::vector<TMailAttachment>& attachments,
                                        const TPackageFolder& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> copies;
    if (folder.Path().empty()) {
        return copies;
    }
    for (const TMailAttachment& attachment : attachments) {
        std::error_code error;
        if (!fs::is_regular_file(attachment.path, error)) {
            continue;
        }
        const fs::path copy = folder.Path() / attachment.name;
        if (fs::copy_file(attachment.path, copy, error)) {
            copies.push_back(copy.string());
        }
    }
    return copies;
}

} // namespace

bool SendByMapi(const std::string& recipients, const std::string& subject,
                const std::string& message, const std::vector<TMailAttachment>& attachments,
                const TMailClientPrograms& programs, TDeliveryEvents& events) {
    std::vector<std::string> arguments = {programs.email, "--subject",
                                          ReplaceControlRuns(ExpandEnvironmentVariables(subject)),
                                          "--body", ExpandEnvironmentVariables(message)};
    const TPackageFolder copies(TemporaryFolder());
    for (const std::string& copy : HandOverCopies(attachments, copies)) {
        arguments.insert(arguments.end(), {"--attach", copy});
    }
    for (const std::string& recipient : SplitRecipients(recipients)) {
        arguments.push_back(recipient);
    }
    std::string error;
    const std::optional<int> status = RunProgram(arguments, error);
    if (!status) {
        events.Warning(TFaultTrapErrorCode::eeEmailMAPIError,
                       "Cannot open the mail client: \"" + error + "\".");
        return false;
    }
    if (*status != 0) {
        events.Warning(TFaultTrapErrorCode::eeEmailMAPIError, "Cannot send the MAPI message.");
        return false;
    }
    return true;
}

std::string MailtoEncode(const std::string& text) {
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeptInAddress(byte)) {
            encoded += c;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            encoded += escape;
        }
    }
    return encoded;
}

std::string MailtoAddress(const std::string& recipients, const std::string& subject,
                          const std::string& body) {
    return "mailto:" + recipients + "?Subject=" + MailtoEncode(subject) +
           "&Body=" + MailtoEncode(body);
}

std::string BoundedMailtoAddress(const std::string& recipients, const std::string& subject,
                                 const std::string& body, std::size_t maxLength) {
    const std::string whole = MailtoAddress(recipients, subject, body);
    if (whole.size() <= maxLength) {
        return whole;
    }
    const std::string start = MailtoAddress(recipients, subject, "");
    const std::size_t cutLine = MailtoEncode(MailtoCutLine).size();
    std::size_t room = maxLength > start.size() + cutLine ? maxLength - start.size() - cutLine : 0;
    std::string kept;
    for (const char c : body) {
        const std::size_t size = KeptInAddress(static_cast<unsigned char>(c)) ? 1 : 3;
        if (size > room) {
            break;
        }
        room -= size;
        kept += c;
    }
    return MailtoAddress(recipients, subject, kept + MailtoCutLine);
}

bool SendByMailto(const std::string& recipients, const std::string& subject,
                  const std::string& message, const std::string& reportText,
                  const TMailClientPrograms& programs, TDeliveryEvents& events) {
    const std::string address =
        BoundedMailtoAddress(recipients, ExpandEnvironmentVariables(subject),
                             ExpandEnvironmentVariables(message) + "\r\n\r\n\r\n" + reportText);
    std::string error;
    const std::optional<int> status = RunProgram({programs.open, address}, error);
    if (!status || *status != 0) {
        events.Warning(TFaultTrapErrorCode::eeEmailShellError,
                       status ? "The \"mailto:\" address could not be opened (exit code " +
                                    std::to_string(*status) + ")."
                              : error);
        return false;
    }
    return true;
}

} // namespace faulttrap
