#pragma once

#include "crashreport/debuginfo/inlined_scope.h"

#include <cstdint>
#include <vector>

struct Dwfl_Module;

namespace faulttrap {

struct DwarfLibrary;

// The chain of inlined calls at a file address from a module's DWARF, innermost first and
// ending with the out-of-line function; empty outside inlined code.
std::vector<InlinedScope> InlinedScopesFromDwarf(const DwarfLibrary& dw, Dwfl_Module* module,
                                                 std::uint64_t fileAddress);

} // namespace faulttrap
