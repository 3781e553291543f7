#pragma once

#include "crashreport/options/fault_module_options_ex.h"
#include "crashreport/options/loaded_module.h"
#include "crashreport/text/faulttrap_error.h"

#include <functional>
#include <stdexcept>

namespace faulttrap {

// A check of the program's own use of FaultTrap that failed.
class AssertionFailure : public Error {
public:
    explicit AssertionFailure(const std::string& message) : Error(message) {}
};

// How CurrentFaultTrapOptions reaches the module list: the options of a module's entry, or
// nullptr when the list holds no entry for it.
using ModuleOptionsLookup = std::function<TFaultModuleOptionsEx*(const TLoadedModule& module)>;

// Installed by FaultTrap's activation once its module list exists; an empty lookup removes it.
void SetModuleOptionsLookup(ModuleOptionsLookup lookup);

// The options of the module that runs FaultTrap. Throws AssertionFailure when the module list
// does not exist yet or holds no entry for that module.
TFaultModuleOptionsEx& CurrentFaultTrapOptions();

} // namespace faulttrap
