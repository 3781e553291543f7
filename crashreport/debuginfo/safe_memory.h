#pragma once

#include <cstddef>
#include <cstdint>

namespace faulttrap {

// Copies process memory without ever faulting: unmapped or unreadable memory makes the
// read fail instead of raising a signal. Returns whether all size bytes were copied.
bool ReadMemory(std::uintptr_t address, void* out, std::size_t size);

// Finds out once, outside any signal handler, how memory is read here, and opens what that needs,
// so that a read inside a handler opens nothing.
void PrepareMemoryReads();

} // namespace faulttrap
