#pragma once

#include <cstdint>
#include <optional>

namespace faulttrap {

// A call instruction found just before a possible return address.
struct CallSite {
    std::uintptr_t address = 0; // the call instruction, with its REX prefix when it has one
    // For a direct call (E8 rel32), the called address.
    std::optional<std::uintptr_t> target;
};

// Whether the bytes before returnAddress encode an x86-64 call that returns there: E8 rel32,
// or FF /2 through a register, through memory (with 8- or 32-bit displacement, with a SIB
// byte, or RIP-relative when its cell is readable), with or without a REX prefix. The
// forms are tested from the shortest register form on; the first that fits decides. All
// memory is read guarded.
std::optional<CallSite> CallSiteBefore(std::uintptr_t returnAddress);

// Where a direct call really goes: through a PLT stub's indirect jump (FF 25, optionally
// after ENDBR64 and a BND prefix) to the address in its cell. nullopt when the target
// starts with another call (E8), or cannot be read.
std::optional<std::uintptr_t> CalledProcedure(std::uintptr_t target);

} // namespace faulttrap
