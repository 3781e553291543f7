#include "crashreport/drivers/install_steps.h"

#include "crashreport/drivers/delivery_step.h"
#include "crashreport/drivers/desktop_services.h"
#include "crashreport/drivers/dialog_step.h"
#include "crashreport/drivers/exception_conversation.h"

#include <chrono>

namespace faulttrap {

void InstallDialogAndDeliverySteps() {
    SetDialogDriver(ShowDialogStep);
    SetDeliveryDriver(DeliveryStep);
    // Long enough for a GUI thread busy with other events, short enough that a frozen one does
    // not hold up the report.
    SetClipboardWriter([](const std::string& text) {
        CopyTextToClipboard(text, std::chrono::milliseconds(2000));
    });
}

void RemoveDialogAndDeliverySteps() {
    SetClipboardWriter(nullptr);
    SetDeliveryDriver(nullptr);
    SetDialogDriver(nullptr);
    EndConversation();
}

} // namespace faulttrap
