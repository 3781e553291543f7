#include "crashreport/email/smtp_delivery.h"

#include "crashreport/email/client_smtp.h"
#include "crashreport/email/delivery_events.h"
#include "crashreport/email/mail_text.h"
#include "crashreport/email/send_progress.h"

#include "crashreport/options/fault_module_options.h"
#include "crashreport/packaging/base64.h"

#include <chrono>
#include <ctime>
#include <exception>

namespace faulttrap {

namespace {

std::uint64_t TickCount() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

} // namespace

void SendSmtpConversation(const TSmtpJob& job, const std::string& server,
                          const std::string& recipient, const TFaultModuleOptions& options,
                          TSendProgress& progress, std::size_t number, std::size_t count) {
    progress.SetSendStatusCounted(options.CustomizedText(TextId::Connecting), number, count);
    TFaultClientSMTP smtp(server, job.port, job.timeoutMs);
    smtp.SetDeadline(job.deadline);
    smtp.Connect();

    progress.SetSendStatusCounted(options.CustomizedText(TextId::Connected), number, count);
    const std::string envelope = ReplaceControlRuns(job.envelopeFrom);
    if (!job.direct && (!job.userId.empty() || !job.password.empty())) {
        smtp.Command("EHLO " + job.localHostName, {250});
        smtp.Command("RSET", {250});
        smtp.Command("AUTH LOGIN", {334});
        smtp.SecretCommand(ToBase64(job.userId), {334});
        smtp.SecretCommand(ToBase64(job.password), {235});
    } else {
        smtp.Command("HELO " + job.localHostName, {250});
        smtp.Command("RSET", {250});
    }
    smtp.Command("MAIL FROM:<" + envelope + ">", {250});

    progress.SetSendStatusCounted(options.CustomizedText(TextId::SendingMessage), number, count);
    smtp.Command("RCPT TO:<" + ReplaceControlRuns(recipient) + ">", {250, 251});
    smtp.Command("DATA", {354});

    const std::string content =
        BuildSmtpMessage(job.message, recipient, std::time(nullptr), TickCount());
    smtp.SetOnSent([&progress](TFaultClientSocket&, std::size_t sent, std::size_t total) {
        progress.SetProgress(static_cast<int>(sent * 100 / total));
    });
    smtp.Command(content, {250});
    smtp.SetOnSent(nullptr);
    // No QUIT: freeing the socket closes the connection.
}

bool SendBySmtp(const TSmtpJob& plainJob, const std::string& recipients,
                const TFaultModuleOptions& options, TSendProgress& progress, bool progressShown,
                TDeliveryEvents& events) {
    TSmtpJob job = plainJob;
    job.deadline = std::chrono::steady_clock::now() + job.overallTimeout;
    const std::vector<std::string> list = SplitRecipients(recipients);
    bool anyDelivered = false;
    const auto warn = [&](const std::string& text) {
        events.Warning(TFaultTrapErrorCode::eeEmailSMTPError, text);
        if (progressShown) {
            progress.ShowError(options.CustomizedText(TextId::ErrorCaption), text);
        }
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        progress.SetProgress(0);
        try {
            std::string server = job.host;
            if (job.direct) {
                progress.SetSendStatusCounted(options.CustomizedText(TextId::ResolvingDns), i + 1,
                                              list.size());
                server = LookUpMailExchanger(list[i], job.dnsTimeoutMs, job.dns);
            }
            SendSmtpConversation(job, server, list[i], options, progress, i + 1, list.size());
            anyDelivered = true;
        } catch (const std::exception& error) {
            warn("[SMTP] " + std::string(error.what()));
        } catch (...) {
            warn("General 'SMTP' error.");
        }
    }
    return anyDelivered;
}

} // namespace faulttrap
