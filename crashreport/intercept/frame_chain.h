#pragma once

// The calls that are really on a stack, read by following the chain of saved frame pointers.
// A raw scan of the stack also finds return addresses that stale slots still hold; an ID made
// from those would differ between two raises of the same error. The program and FaultTrap are
// built with frame pointers, so the chain reaches from the raise through every frame of theirs.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace faulttrap {

// The return addresses of the chain that starts at `framePointer`, from the innermost frame
// out, read from `stack`: the bytes that lay at `stackPointer` and above. The walk ends at the
// first frame outside the copy, a frame that does not lie above the previous one, or after
// `limit` frames.
std::vector<std::uintptr_t> ReturnAddressChain(std::span<const std::byte> stack,
                                               std::uintptr_t stackPointer,
                                               std::uintptr_t framePointer,
                                               std::size_t limit = 128);

} // namespace faulttrap
