#include "crashreport/disasm/assembler_listing.h"

#include "crashreport/disasm/tests/guarded_page.h"
#include "crashreport/disasm/tests/table_naming.h"

#include "crashreport/disasm/operand_text.h"

#include "crashreport/disasm/tests/listing_text.h"

#include <gtest/gtest.h>

using namespace faulttrap;

namespace {

std::string Line(std::uint64_t address, const std::string& text) {
    return PointerText(address) + "  " + text;
}

class AssemblerListingTest : public ::testing::Test {
protected:
    TGuardedPage page;
    TTableNaming naming;
};

TEST_F(AssemblerListingTest, UnreadableAddressGivesAnEmptyListingAndABareHeading) {
    EXPECT_TRUE(AssemblerListing(page.End(), naming).empty());
    EXPECT_TRUE(AssemblerListing(page.End() - 2, naming).empty());
}

TEST_F(AssemblerListingTest, StartsAtTheFirstReadableByteBeforeTheAddress) {
    page.Fill(0, 40, 0x90);
    const std::vector<std::string> listing = AssemblerListing(page.Start() + 3, naming);
    ASSERT_EQ(listing.size(), 14u) << Joined(listing); // 3 before, the address, 10 after
    EXPECT_EQ(listing[0], Line(page.Start(), "nop"));
    EXPECT_EQ(listing[3], Line(page.Start() + 3, "nop  ; <-- EXCEPTION"));
}

TEST_F(AssemblerListingTest, ResynchronisesSoThatDecodingLandsOnTheAddress) {
    // From 70 and 69 bytes before the address, the two-byte moves would run one byte past it.
    const std::size_t address = 200;
    page.Fill(address - 70, 1, 0x90);
    page.Fill(address - 69, 69, 0xB0);
    page.Fill(address, 20, 0x90);
    const std::vector<std::string> listing = AssemblerListing(page.Start() + address, naming);
    const std::string text = Joined(listing);
    ASSERT_EQ(listing.size(), 21u) << text;
    // 34 moves lead to the address; the last 10 are listed.
    EXPECT_EQ(listing[0], Line(page.Start() + address - 20, "mov     al, $B0")) << text;
    EXPECT_TRUE(listing[10].starts_with(Line(page.Start() + address, "nop  "))) << text;
    EXPECT_TRUE(listing[10].ends_with("; <-- EXCEPTION")) << text;
}

TEST_F(AssemblerListingTest, StopsAfterTheFirstReturnFollowingTheAddress) {
    page.Fill(0, 100, 0x90);
    page.Put(50, {0xC3}); // the faulting instruction is a return: the listing goes on
    page.Put(52, {0xC7, 0x00, 0x01, 0x00, 0x00, 0x00, 0xC2, 0x08, 0x00});
    const std::vector<std::string> listing = AssemblerListing(page.Start() + 50, naming);
    const std::string text = Joined(listing);
    ASSERT_EQ(listing.size(), 14u) << text;
    EXPECT_TRUE(listing[10].starts_with(Line(page.Start() + 50, "ret  "))) << text;
    EXPECT_TRUE(listing[10].ends_with("; <-- EXCEPTION")) << text;
    EXPECT_EQ(listing[12], Line(page.Start() + 52, "mov     dword ptr [rax], $00000001")) << text;
    EXPECT_EQ(listing[13], Line(page.Start() + 58, "ret     $0008")) << text;
}

TEST_F(AssemblerListingTest, BeginsWithTheProcedureHoldingTheAddressAndCaptionsItsLines) {
    page.Fill(0, 100, 0x90);
    const std::uint64_t start = page.Start();
    naming.AddCode(start, start + 40, {"alpha.cpp", "", "First", 3, 0});
    naming.AddCode(start + 40, start + 44, {"beta.cpp", "TBeta", "Second", 7, 1});
    naming.AddCode(start + 44, start + 80, {"beta.cpp", "TBeta", "Second", 8, 2});
    const std::vector<std::string> expected = {
        "; beta.TBeta.Second (Line=7 - Offset=1)",
        "; " + std::string(37, '-'),
        Line(start + 40, "nop"),
        Line(start + 41, "nop"),
        Line(start + 42, "nop"),
        Line(start + 43, "nop"),
        ";",
        "; Line=8 - Offset=2",
        "; " + std::string(17, '-'),
        Line(start + 44, "nop"),
        Line(start + 45, "nop  ; <-- EXCEPTION"),
        Line(start + 46, "nop"),
        Line(start + 47, "nop"),
        Line(start + 48, "nop"),
        Line(start + 49, "nop"),
        Line(start + 50, "nop"),
        Line(start + 51, "nop"),
        Line(start + 52, "nop"),
        Line(start + 53, "nop"),
        Line(start + 54, "nop"),
        Line(start + 55, "nop"),
    };
    EXPECT_EQ(AssemblerListing(start + 45, naming), expected);
}

TEST_F(AssemblerListingTest, NamesCodeAddressesAndObjectsAndAlignsComments) {
    const std::uint64_t start = page.Start();
    naming.AddCode(start + 0x100, start + 0x140, {"alpha.cpp", "", "First", 3, 0});
    naming.AddCode(start + 0x140, start + 0x180, {"alpha.cpp", "", "First", 9, 6});
    naming.AddObject(start + 0x300, "TWidget");
    page.Put(0x200, {'H', 'e', 'l', 'l', 'o', 0});
    page.Fill(0, 16, 0x90);
    // call First; jmp into First's line 9; mov rax, [object]; movabs rax, "Hello"; ret
    page.Put(16, {0xE8, 0xEB, 0x00, 0x00, 0x00});
    page.Put(21, {0xE9, 0x26, 0x01, 0x00, 0x00});
    page.Put(26, {0x48, 0x8B, 0x05, 0xDF, 0x02, 0x00, 0x00});
    std::vector<std::uint8_t> movabs = {0x48, 0xB8};
    for (int i = 0; i < 8; ++i) {
        movabs.push_back(static_cast<std::uint8_t>((start + 0x200) >> (8 * i)));
    }
    page.Put(33, movabs);
    page.Put(43, {0xC3});
    const std::vector<std::string> listing = AssemblerListing(start + 21, naming);
    const std::string text = Joined(listing);
    ASSERT_EQ(listing.size(), 14u) << text;
    EXPECT_EQ(listing[9], Line(start + 16, "call    alpha.First")) << text;
    EXPECT_EQ(listing[10], Line(start + 21, "jmp     alpha.First (Line=9)    ; <-- EXCEPTION"))
        << text;
    EXPECT_EQ(listing[11], Line(start + 26, "mov     rax, TWidget")) << text;
    EXPECT_EQ(
        listing[12],
        Line(start + 33, "mov     rax, " + UnsignedImmediateText(start + 0x200, 8) + "  ; 'Hello'"))
        << text;
    EXPECT_EQ(listing[13], Line(start + 43, "ret")) << text;
}

} // namespace
