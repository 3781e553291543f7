#include "current_options.h"

#include <mutex>

namespace faulttrap {

namespace {

std::mutex lookupMutex;
ModuleOptionsLookup moduleOptionsLookup;

constexpr const char* kNotActivated =
    "\r\nCannot use 'CurrentFaultTrapOptions' function without activate FaultTrap.\r\n"
    "Link FaultTrap into the program and embed its data with the 'faulttrap' build tool.";

} // namespace

void SetModuleOptionsLookup(ModuleOptionsLookup lookup) {
    const std::lock_guard lock(lookupMutex);
    moduleOptionsLookup = std::move(lookup);
}

TFaultModuleOptionsEx& CurrentFaultTrapOptions() {
    ModuleOptionsLookup lookup;
    {
        const std::lock_guard lock(lookupMutex);
        lookup = moduleOptionsLookup;
    }
    TFaultModuleOptionsEx* options = lookup ? lookup(SubsystemModule()) : nullptr;
    if (options == nullptr) {
        throw AssertionFailure(kNotActivated);
    }
    return *options;
}

} // namespace faulttrap
