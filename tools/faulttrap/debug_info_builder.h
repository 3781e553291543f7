#pragma once

#include "tools/faulttrap/program_debug_data.h"

#include "crashreport/debuginfo/compact_debug_info.h"

namespace faulttrap {

// Turns a program's line spans and functions into unit records. A unit record holds a
// stretch of contiguous code of one source file whose lines only grow; optimised code
// jumps back and forth between lines and files, so one source file becomes many unit
// records. Gaps of alignment padding (up to 16 bytes) count to the line before them.
// Addresses above 4 GiB cannot be stored and are left out.
CompactDebugInfo BuildCompactDebugInfo(ProgramDebugData data);

} // namespace faulttrap
