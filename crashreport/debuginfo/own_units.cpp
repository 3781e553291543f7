#include "debuginfo/own_units.h"

#include <algorithm>
#include <array>

namespace faulttrap {

namespace {

// The units whose code runs while a call stack is taken and resolved, and the interception's
// units, whose frames lie between a raise or a fault and the program's own code.
constexpr std::array<std::string_view, 18> ownUnits{
    "call_site.cpp",    "safe_memory.cpp",      "stack_scan.cpp",        "resolver.cpp",
    "debug_index.cpp",  "lazy_debug_index.cpp", "module_debug_data.cpp", "module_list.cpp",
    "dwarf_source.cpp", "throw_hooks.cpp",      "last_chance.cpp",       "notify_params.cpp",
    "thread_hooks.cpp", "fault_signals.cpp",    "dispatcher.cpp",        "exception_object.cpp",
    "leak_report.cpp",  "library_exports.cpp",
};

} // namespace

bool isOwnUnit(std::string_view unit) {
    return std::find(ownUnits.begin(), ownUnits.end(), unit) != ownUnits.end();
}

} // namespace faulttrap
