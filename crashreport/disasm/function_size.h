#pragma once

#include "crashreport/disasm/dis_asm.h"

#include <cstddef>
#include <cstdint>

namespace faulttrap {

// The size of the function at `address` in this process: from its start to the end of the first
// return instruction, decoding no further than `codeEnd`. 1 when no return is met or the code
// cannot be read.
std::size_t SizeToFirstReturn(std::uint64_t address, std::uint64_t codeEnd,
                              TMachineMode mode = NativeMachineMode());

} // namespace faulttrap
