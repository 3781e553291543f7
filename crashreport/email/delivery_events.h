#pragma once

#include "crashreport/options/option_types.h"

#include <string>
#include <vector>

namespace faulttrap {

// `ExceptionActionNotify` codes around the delivery steps.
namespace delivery_action {
inline constexpr int BeforeEmail = 4;
inline constexpr int AfterEmail = 5;
inline constexpr int BeforeWeb = 6;
inline constexpr int AfterWeb = 7;
} // namespace delivery_action

// `ExceptionErrorNotify` codes of the delivery steps.
namespace delivery_error {
inline constexpr int Email = 5;
inline constexpr int Web = 7;
} // namespace delivery_error

// The program's handlers as a delivery sees them. The exception processing forwards these to
// the registered handlers; by default every action runs, nothing is retried and warnings are
// dropped.
class TDeliveryEvents {
public:
    virtual ~TDeliveryEvents() = default;

    // `ExceptionActionNotify`: returns the `Execute` flag (false skips the action).
    virtual bool ActionNotify(int action) {
        (void)action;
        return true;
    }
    // `ExceptionErrorNotify`: returns the `Retry` flag.
    virtual bool ErrorNotify(int error) {
        (void)error;
        return false;
    }
    // `AttachedFilesRequest`: handlers may add or remove paths.
    virtual void AttachedFilesRequest(std::vector<std::string>& paths) { (void)paths; }
    // A failure of a delivery step, with its code and text.
    virtual void Warning(TFaultTrapErrorCode code, const std::string& text) {
        (void)code;
        (void)text;
    }
};

} // namespace faulttrap
