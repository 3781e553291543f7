#include "debuginfo/own_units.h"

#include <algorithm>
#include <array>

namespace faulttrap {

namespace {

// The units whose code runs while a call stack is taken and resolved.
constexpr std::array<std::string_view, 9> ownUnits{
    "call_site.cpp",         "safe_memory.cpp", "stack_scan.cpp",
    "resolver.cpp",          "debug_index.cpp", "lazy_debug_index.cpp",
    "module_debug_data.cpp", "module_list.cpp", "dwarf_source.cpp",
};

} // namespace

bool isOwnUnit(std::string_view unit) {
    return std::find(ownUnits.begin(), ownUnits.end(), unit) != ownUnits.end();
}

} // namespace faulttrap
