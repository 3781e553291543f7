#pragma once

#include <stdexcept>

namespace faulttrap {

// Raised for subsystem data that cannot be used: damaged, truncated, too new, or not
// ours. Callers treat the module as having no subsystem data.
class DebugDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace faulttrap
