#pragma once

#include "crashreport/disasm/code_naming.h"

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

// The assembler listing of a bug report: the instructions around `exceptionAddress`, from the
// start of the procedure that contains it (at most 10 instructions before it) to at most 10 after
// it or the first return, with captions naming procedures and lines, the faulting instruction
// marked "<-- EXCEPTION" and comments aligned. Empty when the code there cannot be read. Lines
// come without line ends.
std::vector<std::string> AssemblerListing(std::uint64_t exceptionAddress,
                                          const TCodeNaming& naming);

} // namespace faulttrap
