#pragma once

#include <cstdint>
#include <string>

namespace faulttrap {

// One function of the chain of inlined calls at an address, as a debug source gives it.
struct InlinedScope {
    std::string className;
    std::string procedure;
    std::uint32_t firstLine = 0; // the function's declaration line; 0 when unknown
    // The out-of-line function that ends a chain has no call place.
    bool outOfLine = false;
    // Where this function's code was called from in the next scope of the chain.
    std::string callFile;
    std::uint32_t callLine = 0;
};

} // namespace faulttrap
