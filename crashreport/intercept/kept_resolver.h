#pragma once

// The module list and the address resolver over it, kept from one processing to the next.
// Reading a module's debug information (inflating its whole container) costs far more than one
// report, and the modules rarely change between two exceptions.

#include "crashreport/debuginfo/module_list.h"
#include "crashreport/debuginfo/resolver.h"

namespace faulttrap {

struct ResolverLease {
    const TFaultModulesList& modules;
    AddressResolver& resolver;
};

// The kept list and resolver, both made anew when the process's modules differ from those they
// were made for (a library loaded or unloaded, a module file replaced). For the processing only,
// which runs one exception at a time; valid until the next call.
ResolverLease KeptResolver();

} // namespace faulttrap
