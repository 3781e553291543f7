#pragma once

#include "crashreport/text/faulttrap_error.h"

namespace faulttrap {

// Raised for subsystem data that cannot be used: damaged, truncated, too new, or not
// ours. Callers treat the module as having no subsystem data.
class DebugDataError : public Error {
public:
    using Error::Error;
};

} // namespace faulttrap
