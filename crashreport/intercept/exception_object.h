#pragma once

#include <exception>
#include <string>
#include <typeinfo>

namespace faulttrap {

// An exception as FaultTrap handles it: the object, its class and its message.
struct FaultException {
    std::exception_ptr object;
    const std::type_info* type = nullptr; // nullptr when no exception object exists
    std::string className;
    std::string message; // what() of a std::exception, else "Unknown error message."
};

// The exception held by `object`.
FaultException DescribeException(const std::exception_ptr& object);

// The exception of the innermost catch block that is running (std::current_exception).
FaultException CaptureCurrentException();

// Whether `exception` is of class `Class` or derived from it.
template <class Class> bool IsOfClass(const FaultException& exception) {
    if (!exception.object) {
        return false;
    }
    try {
        std::rethrow_exception(exception.object);
    } catch (const Class&) {
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace faulttrap
