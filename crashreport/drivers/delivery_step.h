#pragma once

#include "crashreport/intercept/processing_hooks.h"

namespace faulttrap {

// The delivery driver of the processing: when the user left the send choice on (or no dialog
// asked), packs the report with the screenshot of the dialog step and delivers it by e-mail and
// to the web (SendReport), with the send progress window, the clipboard and the result message
// on the GUI thread. With `SendInThread`, where the request allows it, the delivery goes on in a
// send thread that holds the processing lock and calls `request.afterSend` when done; the result
// is then true.
bool DeliveryStep(const DeliveryRequest& request);

} // namespace faulttrap
