#pragma once

#include <cstdint>

struct Dwfl_Line;
struct Dwfl_Module;

namespace faulttrap {

struct DwarfLibrary;

// Optimised code often has several line rows at one address (the views of inlined code);
// the last of them counts, or, when that one does not start a statement, the last one of its
// file there that does, as a debugger reads it (rows of other files at that address belong
// to inlined code that has already ended). `row` is the row libdw found for an address; the source
// file and line of the row a debugger would read go to *file (null when unknown) and *line. False
// when `row` gives no line.
bool StatementLineOf(const DwarfLibrary& dw, Dwfl_Module* module, Dwfl_Line* row, const char** file,
                     int* line);

} // namespace faulttrap
