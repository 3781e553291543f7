#pragma once

namespace faulttrap {

// Plugs the dialog step and the delivery step into the processing, and takes them out again.
// A Qt program's application object does this (crashreport/qt).
void InstallDialogAndDeliverySteps();
void RemoveDialogAndDeliverySteps();

} // namespace faulttrap
