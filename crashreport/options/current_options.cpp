#include "crashreport/options/current_options.h"

#include <mutex>

namespace faulttrap {

namespace {

// Built on first use: FaultTrap's activation installs the lookup before the static
// initialisers of the program run, and a std::function is not constant-initialised.
std::mutex lookupMutex;

ModuleOptionsLookup& InstalledLookup() {
    static auto* lookup = new ModuleOptionsLookup;
    return *lookup;
}

constexpr const char* kNotActivated =
    "\r\nCannot use 'CurrentFaultTrapOptions' function without activate FaultTrap.\r\n"
    "Link FaultTrap into the program and embed its data with the 'faulttrap' build tool.";

} // namespace

void SetModuleOptionsLookup(ModuleOptionsLookup lookup) {
    const std::lock_guard lock(lookupMutex);
    InstalledLookup() = std::move(lookup);
}

TFaultModuleOptionsEx& CurrentFaultTrapOptions() {
    ModuleOptionsLookup lookup;
    {
        const std::lock_guard lock(lookupMutex);
        lookup = InstalledLookup();
    }
    TFaultModuleOptionsEx* options = lookup ? lookup(SubsystemModule()) : nullptr;
    if (options == nullptr) {
        throw AssertionFailure(kNotActivated);
    }
    return *options;
}

} // namespace faulttrap
