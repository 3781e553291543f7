#pragma once

// Everything one delivery of the exception processing works with, owned together: a send thread
// outlives the processing that started it, so the options and the exception record are copies.
// The window of a Qt program and the standard error of a program without one plug in their own
// progress and messages.

#include "crashreport/delivery/delivery_progress.h"
#include "crashreport/delivery/fault_events.h"
#include "crashreport/delivery/web_delivery.h"

#include "crashreport/email/send_report.h"
#include "crashreport/intercept/processing_hooks.h"
#include "crashreport/options/fault_module_options_ex.h"
#include "crashreport/packaging/package_folder.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace faulttrap {

struct DeliveryKit {
    DeliveryKit(const DeliveryRequest& request, bool attachScreenshot);
    DeliveryKit(const DeliveryKit&) = delete;
    DeliveryKit& operator=(const DeliveryKit&) = delete;

    // Builds the run over the progress and messages of the program; they outlive the kit's use.
    void Attach(TDeliveryProgress& progress, TDeliveryNotices& notices);

    TFaultModuleOptionsEx options;
    TFaultExceptionRecord record;
    std::string reportText;
    FaultDeliveryEvents events;
    TPackageFolder folder;
    TReportPackage package;
    std::optional<WebDelivery> web;
    std::unique_ptr<TDeliveryRun> run;
};

// Runs the delivery of `kit` (built with Attach) at once, or, with `SendInThread` where
// `request` allows it, on a send thread that keeps `owner` alive, holds the processing lock and
// calls `request.afterSend` when done. Returns whether a send thread took it.
bool RunDelivery(std::shared_ptr<void> owner, DeliveryKit& kit, const DeliveryRequest& request);

} // namespace faulttrap
