#pragma once

#include "crashreport/debuginfo/debug_index.h"
#include "crashreport/debuginfo/subsystem_data.h"

#include <ostream>

namespace faulttrap {

// Prints what a program carries: the container's header, then every unit record with its
// procedures and line ranges (offsets from the module's code start), then the inlined calls.
void PrintDebugInfo(std::ostream& out, const SubsystemData& data, bool passwordValid,
                    const DebugIndex& index, const InlinedCalls& inlinedCalls);

} // namespace faulttrap
