#pragma once

#include "crashreport/options/exception_filters.h"

#include <typeinfo>

namespace faulttrap {

// The first filter, in list order, that applies to an exception of class `exceptionType`;
// nullptr when none applies (the exception is then processed by FaultTrap). A filter applies when
// it is active, its kind admits the exception (`handledByProgram`: one of the program's own
// handlers caught it), and its class name, without surrounding blanks and regardless of letter
// case, names the exception's class or one of its ancestors. The pointer is valid until the list
// changes.
const TFaultExceptionFilter* SelectExceptionFilter(const TFaultExceptionsFilters& filters,
                                                   const std::type_info& exceptionType,
                                                   bool handledByProgram);

} // namespace faulttrap
