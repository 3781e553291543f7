#include "crashreport/delivery/fault_events.h"

namespace faulttrap {

bool FaultDeliveryEvents::ActionNotify(int action) {
    return RaiseActionNotify(record_, action);
}

bool FaultDeliveryEvents::ErrorNotify(int error) {
    TFaultTrapErrorCode code = lastCode_;
    if (code == TFaultTrapErrorCode::eeNone) {
        code = error == delivery_error::Web ? TFaultTrapErrorCode::eeWebHTTPError
                                            : TFaultTrapErrorCode::eeEmailSMTPError;
    }
    const std::string text = lastText_;
    // Each attempt starts without a warning.
    lastCode_ = TFaultTrapErrorCode::eeNone;
    lastText_.clear();
    return RaiseErrorNotify(record_, code, text);
}

void FaultDeliveryEvents::AttachedFilesRequest(std::vector<std::string>& paths) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.AttachedFilesRequest) {
            events.AttachedFilesRequest(record_, paths);
        }
    });
}

void FaultDeliveryEvents::Warning(TFaultTrapErrorCode code, const std::string& text) {
    WriteWarning(record_.ExceptionAddress, code, text);
    if (echoWarning) {
        echoWarning(text);
    }
    lastCode_ = code;
    lastText_ = text;
}

std::vector<std::string> FaultDeliveryEvents::CustomWebFields() {
    std::vector<std::string> fields;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.CustomWebFieldsRequest) {
            events.CustomWebFieldsRequest(record_, fields);
        }
    });
    return fields;
}

} // namespace faulttrap
