#include "crashreport/intercept/frame_chain.h"

#include <gtest/gtest.h>

#include <cstring>

namespace faulttrap {
namespace {

// A copied stack of 32 words that lay at kBase, with frames written into it.
class CopiedStack {
public:
    static constexpr std::uintptr_t kBase = 0x7ffd0000;

    // A frame at word `word`: the caller's frame pointer and the return address into the caller.
    void Frame(std::size_t word, std::uintptr_t caller, std::uintptr_t returnAddress) {
        std::memcpy(bytes_ + word * 8, &caller, 8);
        std::memcpy(bytes_ + word * 8 + 8, &returnAddress, 8);
    }
    static std::uintptr_t At(std::size_t word) { return kBase + word * 8; }
    std::span<const std::byte> Bytes() const { return {bytes_, sizeof bytes_}; }

private:
    std::byte bytes_[32 * 8]{};
};

TEST(ReturnAddressChain, FollowsTheFramesOutwards) {
    CopiedStack stack;
    stack.Frame(2, CopiedStack::At(6), 0x1111);
    stack.Frame(6, CopiedStack::At(20), 0x2222);
    stack.Frame(20, 0, 0x3333); // the outermost frame: its caller's pointer is not on the stack
    EXPECT_EQ(ReturnAddressChain(stack.Bytes(), CopiedStack::kBase, CopiedStack::At(2)),
              (std::vector<std::uintptr_t>{0x1111, 0x2222, 0x3333}));
}

TEST(ReturnAddressChain, StopsWhereTheChainLeavesTheCopyOrTurnsBack) {
    struct Case {
        const char* name;
        std::uintptr_t start;
        std::uintptr_t secondCaller;
        std::size_t frames;
    };
    const Case cases[] = {
        {"caller below the frame", CopiedStack::At(2), CopiedStack::At(1), 2},
        {"caller is the frame itself", CopiedStack::At(2), CopiedStack::At(6), 2},
        {"caller beyond the copy", CopiedStack::At(2), CopiedStack::At(40), 2},
        {"caller not word-aligned", CopiedStack::At(2), CopiedStack::At(10) + 3, 2},
        {"start below the copy", CopiedStack::kBase - 8, CopiedStack::At(10), 0},
        {"start in the last word", CopiedStack::At(31), CopiedStack::At(10), 0},
        {"no frame pointer", 0, CopiedStack::At(10), 0},
    };
    for (const Case& test : cases) {
        CopiedStack stack;
        stack.Frame(2, CopiedStack::At(6), 0x1111);
        stack.Frame(6, test.secondCaller, 0x2222);
        stack.Frame(10, CopiedStack::At(12), 0x3333);
        EXPECT_EQ(ReturnAddressChain(stack.Bytes(), CopiedStack::kBase, test.start).size(),
                  test.frames)
            << test.name;
    }
}

TEST(ReturnAddressChain, EndsAtAZeroReturnAddressAndAtTheLimit) {
    CopiedStack stack;
    for (std::size_t word = 0; word < 30; word += 2) {
        stack.Frame(word, CopiedStack::At(word + 2), 0x1000 + word);
    }
    EXPECT_EQ(ReturnAddressChain(stack.Bytes(), CopiedStack::kBase, CopiedStack::At(0), 4).size(),
              4u);
    stack.Frame(6, CopiedStack::At(8), 0);
    EXPECT_EQ(ReturnAddressChain(stack.Bytes(), CopiedStack::kBase, CopiedStack::At(0)),
              (std::vector<std::uintptr_t>{0x1000, 0x1002, 0x1004}));
}

} // namespace
} // namespace faulttrap
