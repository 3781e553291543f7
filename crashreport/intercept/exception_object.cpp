#include "crashreport/intercept/exception_object.h"

#include "crashreport/intercept/thread_state.h"
#include "crashreport/options/class_lineage.h"

namespace faulttrap {

namespace {

constexpr const char* kUnknownMessage = "Unknown error message.";

std::string MessageOf(const std::exception_ptr& object) {
    try {
        std::rethrow_exception(object);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return kUnknownMessage;
    }
}

} // namespace

FaultException DescribeException(const std::exception_ptr& object) {
    // Rethrowing to read the message must not look like a new raise to the hooks.
    const InsideFaultTrap inside;
    FaultException exception;
    exception.object = object;
    if (!object) {
        return exception;
    }
    exception.type = object.__cxa_exception_type();
    exception.className = exception.type ? ReadableTypeName(*exception.type) : "";
    exception.message = MessageOf(object);
    return exception;
}

FaultException CaptureCurrentException() {
    return DescribeException(std::current_exception());
}

} // namespace faulttrap
