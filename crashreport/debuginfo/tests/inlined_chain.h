#pragma once

#include <cstdint>

namespace inlined_chain {

// What the chain's innermost call noted: the return address into the inlined code.
struct Record {
    std::uintptr_t returnAddress = 0;
    int after = 0;
};

// Calls two functions inlined into it, the deepest of which makes a real call that notes its
// return address.
void RunInlinedChain(Record& record);

} // namespace inlined_chain
