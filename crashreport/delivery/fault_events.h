#pragma once

// The program's event handlers as the dialog and delivery steps raise them, on the thread that
// runs the step (the faulting thread, or the send thread).

#include "crashreport/email/delivery_events.h"
#include "crashreport/intercept/events.h"

#include <functional>
#include <string>
#include <vector>

namespace faulttrap {

// The delivery's events forwarded to the registered handlers. An `ExceptionErrorNotify` carries
// the code and text of the step's last warning.
class FaultDeliveryEvents : public TDeliveryEvents {
public:
    explicit FaultDeliveryEvents(TFaultExceptionRecord& record) : record_(record) {}

    bool ActionNotify(int action) override;
    bool ErrorNotify(int error) override;
    void AttachedFilesRequest(std::vector<std::string>& paths) override;
    void Warning(TFaultTrapErrorCode code, const std::string& text) override;
    // `CustomWebFieldsRequest`: the "name=value" fields of an HTTP upload.
    std::vector<std::string> CustomWebFields();

    // Where a program without a window shows each warning as it is recorded; none: only the log.
    std::function<void(const std::string& text)> echoWarning;

private:
    TFaultExceptionRecord& record_;
    TFaultTrapErrorCode lastCode_ = TFaultTrapErrorCode::eeNone;
    std::string lastText_;
};

} // namespace faulttrap
