#pragma once

// The entry points of a memory tracker: after the program's finalisation it reports the blocks
// that were never given back, and on the way it reports the faults it detects.

#include <cstdint>
#include <span>
#include <string>

namespace faulttrap {

// Return addresses of one allocation that are looked at.
inline constexpr std::size_t kLeakAddresses = 35;

// Switches FaultTrap on again after finalisation, with fresh lists and state and the options
// the program ended with (the options file of finalisation), and forgets the leaks added so far.
void ResetLeaks();

// One leak: the type allocated ("Data" for raw memory), the total size and count of its blocks
// and the return addresses of the allocation, innermost first. The entries start at the first
// address in a named procedure; a leak whose procedure has no line number is left out.
void AddLeak(const std::string& typeName, std::uint64_t totalSize, std::uint64_t count,
             std::span<const std::uintptr_t> returnAddresses);

// When leaks were added: reports them as one EMemoryLeak, its call stack made of the leaks,
// without the assembler and CPU sections. Then FaultTrap is released again.
void ShowLeaks();

// What a tracker raises when it finds a block written past its end or given back twice.
[[noreturn]] void RaiseMemoryOverrun();
[[noreturn]] void RaiseMultiFree();

} // namespace faulttrap
