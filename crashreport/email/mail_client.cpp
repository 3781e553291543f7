#include "mail_client.h"

#include "delivery_events.h"
#include "mail_text.h"
#include "run_program.h"

#include "options/environment_expansion.h"
#include "packaging/report_package.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace faulttrap {

namespace {

bool KeptInAddress(unsigned char byte) {
    return byte == '-' || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || byte >= 128;
}

// Copies of the existing attachments under their travelling names, in a new folder.
std::vector<std::string> HandOverCopies(const std::vector<TMailAttachment>& attachments) {
    namespace fs = std::filesystem;
    std::vector<std::string> copies;
    std::string folder;
    for (const TMailAttachment& attachment : attachments) {
        std::error_code error;
        if (!fs::is_regular_file(attachment.path, error)) {
            continue;
        }
        if (folder.empty()) {
            std::string pattern = (TemporaryFolder() / "FaultTrapMail-XXXXXX").string();
            if (mkdtemp(pattern.data()) == nullptr) {
                return copies;
            }
            folder = pattern;
        }
        const fs::path copy = fs::path(folder) / attachment.name;
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
    for (const std::string& copy : HandOverCopies(attachments)) {
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

bool SendByMailto(const std::string& recipients, const std::string& subject,
                  const std::string& message, const std::string& reportText,
                  const TMailClientPrograms& programs, TDeliveryEvents& events) {
    const std::string address =
        MailtoAddress(recipients, ExpandEnvironmentVariables(subject),
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
