#include "crashreport/email/send_by_email.h"

#include "crashreport/email/delivery_events.h"
#include "crashreport/email/mail_text.h"
#include "crashreport/email/send_progress.h"
#include "crashreport/email/smtp_delivery.h"

#include "crashreport/options/environment_expansion.h"
#include "crashreport/options/fault_module_options.h"

namespace faulttrap {

namespace {

bool SendOnce(const TFaultModuleOptions& options, const std::string& reportText,
              const std::vector<TMailAttachment>& attachments, TDeliveryEvents& events,
              TSendProgress& progress, const TEmailEnvironment& environment) {
    std::string message = options.EMailMessage();
    if (options.AppendReportToMessage()) {
        message += "\r\n\r\n\r\n" + reportText;
    }
    const TFaultEMailSendMode mode = options.EMailSendMode();
    if (mode != TFaultEMailSendMode::MailClient && mode != TFaultEMailSendMode::SMTPClient &&
        mode != TFaultEMailSendMode::SMTPServer) {
        return false; // no method, or one this program does not know
    }
    if (mode == TFaultEMailSendMode::MailClient) {
        return SendByMapi(options.EMailAddresses(), options.EMailSubject(), message, attachments,
                          environment.programs, events) ||
               // A "mailto:" address carries the report in its body, once, whatever the option.
               SendByMailto(options.EMailAddresses(), options.EMailSubject(),
                            options.EMailMessage(), reportText, environment.programs, events);
    }

    const TMailSender sender = ParseMailSender(options.SMTPFrom(), environment.senderName);
    TSmtpJob job;
    job.direct = mode == TFaultEMailSendMode::SMTPServer;
    job.host = options.SMTPHost();
    job.port = options.SMTPPort();
    job.userId = options.SMTPUserID();
    job.password = options.SMTPPassword();
    job.envelopeFrom = sender.envelope;
    job.localHostName = environment.localHostName;
    job.message = {sender.fromHeader, ExpandEnvironmentVariables(options.EMailSubject()),
                   ExpandEnvironmentVariables(message), attachments};
    job.timeoutMs = environment.smtpTimeoutMs;
    job.dnsTimeoutMs = environment.dnsTimeoutMs;
    job.overallTimeout = environment.overallTimeout;
    job.dns = environment.dns;

    const bool showProgress = options.SendOptions() & send_options::ShowSendProgress;
    if (showProgress) {
        progress.Open(!environment.sendsInThread);
    }
    const bool sent =
        SendBySmtp(job, options.EMailAddresses(), options, progress, showProgress, events);
    if (showProgress) {
        progress.Close();
    }
    return sent;
}

} // namespace

TEmailEnvironment TEmailEnvironment::Default() {
    TEmailEnvironment environment;
    environment.localHostName = LocalHostName();
    environment.senderName = DefaultSenderName();
    return environment;
}

bool SendByEmail(const TFaultModuleOptions& options, const std::string& reportText,
                 const std::vector<TMailAttachment>& attachments, TDeliveryEvents& events,
                 TSendProgress& progress, const TEmailEnvironment& environment) {
    if (!events.ActionNotify(delivery_action::BeforeEmail)) {
        return false;
    }
    bool sent;
    do {
        sent = SendOnce(options, reportText, attachments, events, progress, environment);
    } while (!sent && events.ErrorNotify(delivery_error::Email));
    events.ActionNotify(delivery_action::AfterEmail);
    return sent;
}

} // namespace faulttrap
