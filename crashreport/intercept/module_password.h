#pragma once

#include <string>

namespace faulttrap {

// The password of a module's encrypted debug information. A library that carries FaultTrap is
// asked through its exported entry; when it gives none, and for the program itself, the
// program's handlers answer. Empty when nobody does.
std::string ModulePassword(const std::string& modulePath);

} // namespace faulttrap
