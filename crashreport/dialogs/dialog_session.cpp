#include "crashreport/dialogs/dialog_session.h"

#include "crashreport/report/report_text.h"

namespace faulttrap {

bool DialogSession::SendOffered() const {
    return SendMethodConfigured() && !sendingDisabled && Dialog(dialog_options::OfferSending);
}

bool DialogSession::ScreenshotOffered() const {
    return SendOffered() && Send(send_options::SendScreenshot) &&
           Dialog(dialog_options::OfferScreenshot);
}

bool DialogSession::CopyOffered() const {
    return Dialog(dialog_options::OfferCopyToClipboard);
}

bool DialogSession::SupportLinkShown() const {
    return !Trim(options.SupportURL()).empty();
}

bool DialogSession::TerminateOffered() const {
    return options.TerminateAction() != TFaultAction::None &&
           exceptionCount > options.ErrorsBeforeTerminate();
}

void DialogSession::TakeReproduceText(const std::string& text) {
    choices.reproduceText = Trim(text);
    if (choices.reproduceText.empty() || requestInserted) {
        return;
    }
    report.InsertSteps(Text(TextId::ReproduceCaption), choices.reproduceText);
    requestInserted = true;
}

} // namespace faulttrap
