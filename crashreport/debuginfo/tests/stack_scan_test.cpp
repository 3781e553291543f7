#include "crashreport/debuginfo/tests/call_chain.h"

#include "crashreport/debuginfo/stack_scan.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace faulttrap {
namespace {

// Real return addresses of this program, each after an E8 call, to plant on fake stacks.
std::array<std::uintptr_t, 3> RealReturnAddresses() {
    testing_chain::ChainRecord record;
    testing_chain::RunCallChain(record, [](std::uintptr_t) {});
    return record.returnAddresses;
}

class StackScan : public testing::Test {
protected:
    TFaultStackList Scan(const std::uintptr_t* begin, const std::uintptr_t* end,
                         StackScanRequest request = {}) {
        request.stackPointer = reinterpret_cast<std::uintptr_t>(begin);
        request.stackTop = reinterpret_cast<std::uintptr_t>(end);
        request.addCalledProcedures = false;
        return BuildCallStack(request, resolver);
    }
    TFaultStackList Scan(const std::vector<std::uintptr_t>& stack, StackScanRequest request = {}) {
        return Scan(stack.data(), stack.data() + stack.size(), request);
    }
    static std::vector<EntryKind> Kinds(const TFaultStackList& list) {
        std::vector<EntryKind> result;
        for (const TFaultStackEntry& entry : list) {
            result.push_back(entry.kind);
        }
        return result;
    }

    const std::array<std::uintptr_t, 3> r = RealReturnAddresses();
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver resolver{modules};
};

constexpr EntryKind hidden = EntryKind::unknown;
constexpr EntryKind line = EntryKind::line;

TEST_F(StackScan, DataWordsAreNotFrames) {
    const std::vector<std::uintptr_t> stack{0, 1, 0x7fff0000, reinterpret_cast<std::uintptr_t>(&r)};
    EXPECT_TRUE(Scan(stack).empty());
}

TEST_F(StackScan, RepeatedAddressHidesTheEarlierEntry) {
    EXPECT_EQ(Kinds(Scan({r[0], r[0]})), (std::vector{hidden, line}));
    EXPECT_EQ(Kinds(Scan({r[0], r[1], r[0]})), (std::vector{hidden, line, line}));
    EXPECT_EQ(Kinds(Scan({r[0], r[1], r[2], r[0]})), (std::vector{line, line, line, line}));
}

TEST_F(StackScan, SkipAndCountLimitTheKeptEntries) {
    StackScanRequest request;
    request.skip = 1;
    request.maxCount = 1;
    const TFaultStackList list = Scan({r[0], r[1], r[2]}, request);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].address, r[1] - 5);
}

TEST_F(StackScan, ExceptionAddressComesFirstWithItsMark) {
    StackScanRequest request;
    request.exceptionAddress = r[2] - 5;
    request.threadId = 42;
    request.threadStackMark = 0;
    const TFaultStackList list = Scan({r[0]}, request);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].exceptionMark, 1);
    EXPECT_EQ(list[0].address, r[2] - 5);
    EXPECT_EQ(list[1].exceptionMark, 0);
    for (const TFaultStackEntry& entry : list) {
        EXPECT_EQ(entry.threadId, 42u);
        EXPECT_EQ(entry.threadStackMark, 0);
    }
}

TEST_F(StackScan, UnreadablePagesAreSkippedWithoutFaulting) {
    const auto pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    auto* pages = static_cast<std::uint8_t*>(
        ::mmap(nullptr, 3 * pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(pages, MAP_FAILED);
    std::memcpy(pages + 64, &r[0], sizeof r[0]);
    std::memcpy(pages + 2 * pageSize + 64, &r[1], sizeof r[1]);
    ASSERT_EQ(::mprotect(pages + pageSize, pageSize, PROT_NONE), 0);
    const TFaultStackList list = Scan(reinterpret_cast<std::uintptr_t*>(pages),
                                      reinterpret_cast<std::uintptr_t*>(pages + 3 * pageSize));
    ::munmap(pages, 3 * pageSize);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].address, r[0] - 5);
    EXPECT_EQ(list[1].address, r[1] - 5);
}

TEST_F(StackScan, OnlyTheFirst102400BytesAreScanned) {
    std::vector<std::uintptr_t> stack(200 * 1024 / sizeof(std::uintptr_t));
    stack[maxScannedStackBytes / sizeof(std::uintptr_t) - 1] = r[0];
    stack[maxScannedStackBytes / sizeof(std::uintptr_t)] = r[1];
    const TFaultStackList list = Scan(stack);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].address, r[0] - 5);
}

TEST_F(StackScan, CalledProceduresAreListedBeforeTheirCallSite) {
    StackScanRequest request;
    request.stackPointer = reinterpret_cast<std::uintptr_t>(&r[1]);
    request.stackTop = reinterpret_cast<std::uintptr_t>(&r[2]);
    const TFaultStackList list = BuildCallStack(request, resolver);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].procedureName, "Middle"); // the procedure Outer calls
    EXPECT_EQ(list[0].lineOffset, 0u);
    EXPECT_EQ(list[1].procedureName, "Outer");
}

} // namespace
} // namespace faulttrap
