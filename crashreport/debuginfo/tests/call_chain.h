#pragma once

#include <array>
#include <cstdint>

namespace faulttrap::testing_chain {

// A chain of three non-inlined calls, outermost first. Each callee notes the return
// address the call left and the source line of that call.
struct ChainRecord {
    std::array<std::uintptr_t, 3> returnAddresses{};
    std::array<int, 3> callLines{};
    std::array<const char*, 3> callers{};
};

// Runs the chain and calls capture at its deepest point with the stack pointer there.
int RunCallChain(ChainRecord& record, void (*capture)(std::uintptr_t stackPointer));

} // namespace faulttrap::testing_chain
