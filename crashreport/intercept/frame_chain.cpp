#include "crashreport/intercept/frame_chain.h"

#include <cstring>

namespace faulttrap {

std::vector<std::uintptr_t> ReturnAddressChain(std::span<const std::byte> stack,
                                               std::uintptr_t stackPointer,
                                               std::uintptr_t framePointer, std::size_t limit) {
    constexpr std::size_t kWord = sizeof(std::uintptr_t);
    std::vector<std::uintptr_t> chain;
    std::uintptr_t frame = framePointer;
    while (chain.size() < limit && frame % kWord == 0 && frame >= stackPointer &&
           frame - stackPointer <= stack.size() &&
           stack.size() - (frame - stackPointer) >= 2 * kWord) {
        const std::byte* slot = stack.data() + (frame - stackPointer);
        std::uintptr_t caller = 0;
        std::uintptr_t returnAddress = 0;
        std::memcpy(&caller, slot, kWord);
        std::memcpy(&returnAddress, slot + kWord, kWord);
        if (returnAddress == 0) {
            break;
        }
        chain.push_back(returnAddress);
        if (caller <= frame) {
            break;
        }
        frame = caller;
    }
    return chain;
}

} // namespace faulttrap
