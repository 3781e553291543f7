#pragma once

#include "tools/faulttrap/program_debug_data.h"

#include <string>

namespace faulttrap {

// Reads the line tables and the functions of an ELF program's DWARF. A file without
// debug information gives empty data; one that cannot be read raises std::runtime_error.
ProgramDebugData CollectDwarf(const std::string& path);

} // namespace faulttrap
