#pragma once

// The class name and message of a C++ exception as the report shows them (items 2.5 and 2.6).

#include <exception>
#include <optional>
#include <string>

namespace faulttrap {

struct ExceptionDescription {
    std::string className;              // demangled dynamic type, or "Unknown exception type"
    std::optional<std::string> message; // what() of a std::exception; nothing for other objects
};

ExceptionDescription DescribeException(const std::exception_ptr& exception);

} // namespace faulttrap
