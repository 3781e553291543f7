#include "crashreport/debuginfo/call_site.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace faulttrap {
namespace {

struct CallCase {
    const char* form;
    std::vector<std::uint8_t> code;      // ends where the call returns
    std::optional<std::size_t> siteBack; // call site = return address - siteBack
};

// Memory laid out as code: filler, then the case's bytes right before the return address.
std::uintptr_t Place(std::vector<std::uint8_t>& buffer, const std::vector<std::uint8_t>& code) {
    buffer.assign(32, 0x90);
    buffer.insert(buffer.end(), code.begin(), code.end());
    buffer.resize(buffer.size() + 16, 0x90);
    return reinterpret_cast<std::uintptr_t>(buffer.data()) + 32 + code.size();
}

class CallSiteForms : public testing::TestWithParam<CallCase> {};

TEST_P(CallSiteForms, AreRecognisedAtTheCallInstruction) {
    const CallCase& c = GetParam();
    std::vector<std::uint8_t> buffer;
    const std::uintptr_t returnAddress = Place(buffer, c.code);
    const auto site = CallSiteBefore(returnAddress);
    ASSERT_EQ(site.has_value(), c.siteBack.has_value()) << c.form;
    if (site) {
        EXPECT_EQ(site->address, returnAddress - *c.siteBack) << c.form;
    }
}

INSTANTIATE_TEST_SUITE_P(
    X86_64, CallSiteForms,
    testing::Values(
        CallCase{"call rax", {0xFF, 0xD0}, 2}, CallCase{"call r8", {0x41, 0xFF, 0xD0}, 3},
        CallCase{"call [rbx]", {0xFF, 0x13}, 2}, CallCase{"call [r11]", {0x41, 0xFF, 0x13}, 3},
        CallCase{"call [rax+8]", {0xFF, 0x50, 0x08}, 3},
        CallCase{"call [rax+0x1000]", {0xFF, 0x90, 0x00, 0x10, 0x00, 0x00}, 6},
        CallCase{"call [rsp]", {0xFF, 0x14, 0x24}, 3},
        CallCase{"call [rsp+0x10]", {0xFF, 0x54, 0x24, 0x10}, 4},
        CallCase{"call [rsp+0x100]", {0xFF, 0x94, 0x24, 0x00, 0x01, 0x00, 0x00}, 7},
        CallCase{"call [rax+rcx*8+0x10]", {0x48, 0xFF, 0x54, 0xC8, 0x10}, 5},
        CallCase{"call [r12+r13*8+0x100]", {0x43, 0xFF, 0x94, 0xEC, 0x00, 0x01, 0x00, 0x00}, 8},
        CallCase{"call [rcx*8+disp32]", {0xFF, 0x14, 0xCD, 0x00, 0x10, 0x00, 0x00}, 7},
        CallCase{"jmp rax is no call", {0xFF, 0xE0}, std::nullopt},
        CallCase{"push [rax] is no call", {0xFF, 0x30}, std::nullopt},
        CallCase{"plain data", {0x12, 0x34, 0x56, 0x78}, std::nullopt}));

TEST(CallSite, DirectCallGivesItsTarget) {
    std::vector<std::uint8_t> buffer;
    const std::uintptr_t returnAddress = Place(buffer, {0xE8, 0xF0, 0xFF, 0xFF, 0xFF}); // -16
    const auto site = CallSiteBefore(returnAddress);
    ASSERT_TRUE(site);
    EXPECT_EQ(site->address, returnAddress - 5);
    ASSERT_TRUE(site->target);
    EXPECT_EQ(*site->target, returnAddress - 16);
}

class GuardPage : public testing::Test {
protected:
    void SetUp() override {
        pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        auto* memory = ::mmap(nullptr, 2 * pageSize, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(memory, MAP_FAILED);
        pages = static_cast<std::uint8_t*>(memory);
        ASSERT_EQ(::mprotect(pages + pageSize, pageSize, PROT_NONE), 0);
    }
    void TearDown() override { ::munmap(pages, 2 * pageSize); }

    std::size_t pageSize = 0;
    std::uint8_t* pages = nullptr;
};

TEST_F(GuardPage, RipRelativeCallCountsOnlyWhenItsCellIsReadable) {
    // FF 15 disp32 at the end of the readable page; the cell lies disp32 past the return.
    std::uint8_t* returnAt = pages + pageSize - 64;
    const auto placeCall = [&](std::int32_t displacement) {
        std::uint8_t* call = returnAt - 6;
        call[0] = 0xFF;
        call[1] = 0x15;
        std::memcpy(call + 2, &displacement, 4);
        return CallSiteBefore(reinterpret_cast<std::uintptr_t>(returnAt));
    };
    EXPECT_TRUE(placeCall(16));   // cell in the readable page
    EXPECT_FALSE(placeCall(128)); // cell in the guard page
}

TEST_F(GuardPage, BytesBeforeAnUnreadableStartAreNotACall) {
    // A return address right after the guard page: the bytes before it cannot be read.
    EXPECT_FALSE(CallSiteBefore(reinterpret_cast<std::uintptr_t>(pages + 2 * pageSize) + 2));
}

TEST_F(GuardPage, CalledProcedureFollowsAPltJumpToItsCell) {
    std::uint8_t* stub = pages;
    std::uintptr_t destination = 0x1234'5678;
    const std::uint8_t endbrBnd[] = {0xF3, 0x0F, 0x1E, 0xFA, 0xF2, 0xFF, 0x25};
    std::memcpy(stub, endbrBnd, sizeof endbrBnd);
    const std::int32_t displacement = 64 - 11; // cell at stub + 64
    std::memcpy(stub + 7, &displacement, 4);
    std::memcpy(stub + 64, &destination, sizeof destination);
    EXPECT_EQ(CalledProcedure(reinterpret_cast<std::uintptr_t>(stub)), destination);

    stub[0] = 0xE8; // a call to a call lists nothing
    EXPECT_FALSE(CalledProcedure(reinterpret_cast<std::uintptr_t>(stub)));
    stub[0] = 0x55; // an ordinary procedure is itself
    EXPECT_EQ(CalledProcedure(reinterpret_cast<std::uintptr_t>(stub)),
              reinterpret_cast<std::uintptr_t>(stub));
    EXPECT_FALSE(CalledProcedure(reinterpret_cast<std::uintptr_t>(pages + pageSize)));
}

} // namespace
} // namespace faulttrap
