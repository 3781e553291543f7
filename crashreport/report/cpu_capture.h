#pragma once

// Reads the processor state of a captured context and the memory it points at, without ever
// faulting on memory that cannot be read.

#include "crashreport/report/report_inputs.h"

#include <cstddef>
#include <cstdint>
#include <ucontext.h>
#include <vector>

namespace faulttrap {

// The bytes at `address` of this process, or nothing when any of them cannot be read.
std::vector<std::uint8_t> ReadOwnMemory(std::uintptr_t address, std::size_t size);

// Registers of the context, 128 bytes of stack and 256 bytes at the exception address.
ReportCpuState CaptureCpuState(const ucontext_t& context, std::uintptr_t exceptionAddress);

} // namespace faulttrap
