#include "crashreport/email/send_report.h"

#include "crashreport/email/delivery_events.h"

#include "crashreport/options/fault_module_options.h"

#include <filesystem>
#include <thread>

namespace faulttrap {

namespace {

std::vector<TMailAttachment> MailAttachments(const TReportPackage& package,
                                             const std::vector<std::string>& paths) {
    std::vector<TMailAttachment> attachments;
    for (const std::string& path : paths) {
        attachments.push_back({path, package.AttachmentName(path)});
    }
    return attachments;
}

} // namespace

TFaultTrapErrorCode RouteWarningCode(const TFaultModuleOptions& options, bool forEmail) {
    if (forEmail) {
        return options.EMailSendMode() == TFaultEMailSendMode::MailClient
                   ? TFaultTrapErrorCode::eeEmailMAPIError
                   : TFaultTrapErrorCode::eeEmailSMTPError;
    }
    switch (options.WebSendMode()) {
    case TFaultWebSendMode::FTP:
        return TFaultTrapErrorCode::eeWebFTPError;
    case TFaultWebSendMode::HTTP:
    case TFaultWebSendMode::None:
        return TFaultTrapErrorCode::eeWebHTTPError;
    case TFaultWebSendMode::HTTPS:
        return TFaultTrapErrorCode::eeWebHTTPSError;
    default:
        return TFaultTrapErrorCode::eeWebTrakerError;
    }
}

namespace {

// Packs for one route; a package that cannot be made fails the route with its warning, so that
// nothing but the program's own archive ever travels.
bool Pack(const TDeliveryRun& run, bool forEmail, std::vector<std::string>& attachments) {
    if (!run.packageError.empty()) {
        run.events.Warning(RouteWarningCode(run.options, forEmail),
                           "[Package] " + run.packageError);
        return false;
    }
    try {
        attachments =
            run.package.PackAttachments(forEmail, [&run](std::vector<std::string>& paths) {
                run.events.AttachedFilesRequest(paths);
            });
        return true;
    } catch (const TPackageError& error) {
        run.events.Warning(RouteWarningCode(run.options, forEmail),
                           std::string("[Package] ") + error.what());
        return false;
    }
}

} // namespace

bool SendReport(const TDeliveryRun& run) {
    const TFaultModuleOptions& options = run.options;
    const TReportPackage& package = run.package;
    if (run.packageError.empty()) {
        package.WriteReportCopy(run.reportText);
        package.WriteLastHtmlPage(run.lastHtmlPage);
        package.WriteXmlCopy(run.writeXmlCopy);
    }

    bool sent = true;
    std::vector<std::string> attachments;
    const bool byEmail = options.EMailSendMode() != TFaultEMailSendMode::None;
    if (byEmail) {
        sent = Pack(run, true, attachments) &&
               SendByEmail(options, run.reportText, MailAttachments(package, attachments),
                           run.events, run.progress, run.email);
    }
    if (options.WebSendMode() != TFaultWebSendMode::None) {
        // The e-mail archive serves the web too unless the report copy was left out of it.
        const bool packed = (byEmail && !options.AppendReportToMessage() && !attachments.empty()) ||
                            Pack(run, false, attachments);
        sent = (packed && run.web != nullptr && run.web->Send(attachments)) && sent;
    }

    if (!sent && (options.BehaviourOptions() & behaviour_options::CopyReportOnSendFailure)) {
        run.desktop.CopyToClipboard(run.reportText);
    }
    const bool bugClosed = run.web != nullptr && run.web->BugClosedMessageShown();
    if ((options.SendOptions() & send_options::ShowSendResult) && !bugClosed) {
        run.desktop.ShowResult(
            options.CustomizedText(TextId::InformationCaption),
            options.CustomizedText(sent ? TextId::SendSucceeded : TextId::SendFailed), sent);
    }
    if (run.packageError.empty()) {
        if (!sent && (options.BehaviourOptions() & behaviour_options::SaveReportOnSendFailure)) {
            package.KeepUnsentReport();
        }
        package.RemoveTemporaryFiles();
    }
    std::error_code ignored;
    std::filesystem::remove(package.ScreenshotPath(), ignored);
    return sent;
}

void TSendThread::Start(std::shared_ptr<TDeliveryRun> run, std::mutex& globalLock,
                        std::function<void(bool sent)> afterSend) {
    std::thread([run = std::move(run), &globalLock, afterSend = std::move(afterSend)] {
        const std::lock_guard<std::mutex> lock(globalLock);
        const bool sent = SendReport(*run);
        if (afterSend) {
            afterSend(sent);
        }
    }).detach();
}

} // namespace faulttrap
