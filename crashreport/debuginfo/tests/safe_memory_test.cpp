#include "crashreport/debuginfo/safe_memory.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

namespace faulttrap {
namespace {

TEST(SafeMemory, ReadsReadableMemoryAndRefusesTheRestWithoutFaulting) {
    const auto pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    auto* pages = static_cast<std::uint8_t*>(
        ::mmap(nullptr, 2 * pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(pages, MAP_FAILED);
    ASSERT_EQ(::mprotect(pages + pageSize, pageSize, PROT_NONE), 0);
    pages[pageSize - 1] = 0x5A;
    const auto at = reinterpret_cast<std::uintptr_t>(pages);

    std::uint8_t byte = 0;
    EXPECT_TRUE(ReadMemory(at + pageSize - 1, &byte, 1));
    EXPECT_EQ(byte, 0x5A);
    std::uint64_t word = 0;
    EXPECT_FALSE(ReadMemory(at + pageSize - 4, &word, sizeof word)); // runs into the guard
    EXPECT_FALSE(ReadMemory(at + pageSize, &word, sizeof word));
    EXPECT_FALSE(ReadMemory(0, &word, sizeof word));
    EXPECT_FALSE(ReadMemory(~std::uintptr_t{0} - 2, &word, sizeof word)); // wraps around
    ::munmap(pages, 2 * pageSize);
}

} // namespace
} // namespace faulttrap
