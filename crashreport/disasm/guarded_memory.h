#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace faulttrap {

// Copies memory of this process from `address` into `destination` without ever faulting: the copy
// stops at the first byte that cannot be read. Returns the number of bytes copied.
std::size_t ReadMemory(std::uint64_t address, std::span<std::uint8_t> destination);

// Whether `count` bytes from `address` can all be read.
bool IsReadable(std::uint64_t address, std::size_t count);

} // namespace faulttrap
