#include "drivers/install_steps.h"

#include "drivers/delivery_step.h"
#include "drivers/dialog_step.h"
#include "drivers/exception_conversation.h"

namespace faulttrap {

void InstallDialogAndDeliverySteps() {
    SetDialogDriver(ShowDialogStep);
    SetDeliveryDriver(DeliveryStep);
}

void RemoveDialogAndDeliverySteps() {
    SetDeliveryDriver(nullptr);
    SetDialogDriver(nullptr);
    EndConversation();
}

} // namespace faulttrap
