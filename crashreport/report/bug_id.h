#pragma once

// The identity of a bug: two exceptions of one class raised along the same lines of the same
// procedures get the same BugID, wherever the program was loaded.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/report/report_inputs.h"

namespace faulttrap {

// CRC-16 with the polynomial 0x1021, initial value 0, no final XOR, most significant bit first.
std::uint16_t Crc16(std::string_view bytes);

// Over the class name and, for each entry of the exception's own stack that has a line number,
// its unit, class, procedure and line offset; four upper-case hexadecimal digits.
std::string BugId(std::string_view exceptionClass, const std::vector<ReportStackEntry>& stack,
                  std::uint64_t exceptionThreadId);

} // namespace faulttrap
