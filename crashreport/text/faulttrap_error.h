#pragma once

#include <stdexcept>

namespace faulttrap {

// The base of every exception class of FaultTrap's own, so that a caller can catch them as one
// and tell them from the program's.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace faulttrap
