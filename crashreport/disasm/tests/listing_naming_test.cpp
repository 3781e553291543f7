#include "crashreport/disasm/listing_naming.h"

#include "crashreport/disasm/tests/guarded_page.h"
#include "crashreport/disasm/tests/table_naming.h"

#include "crashreport/disasm/dis_asm.h"
#include "crashreport/disasm/operand_text.h"

#include <gtest/gtest.h>

using namespace faulttrap;

namespace {

TEST(StringComment, ShowsUpTo32CharactersOfTheText) {
    TGuardedPage page;
    page.Put(0, {'H', 'e', 'l', 'l', 'o', 0});
    EXPECT_EQ(StringComment(page.Start()), "  ; 'Hello'");

    page.Fill(16, 40, 'A');
    EXPECT_EQ(StringComment(page.Start() + 16), "  ; '" + std::string(32, 'A') + "'...");

    page.Put(64, {'a', '\t', 'b', '\r', '\n', 0});
    EXPECT_EQ(StringComment(page.Start() + 64), "  ; 'a.b..'");

    page.Put(32, {0});
    EXPECT_EQ(StringComment(page.Start() + 32), "  ; ''");
}

TEST(StringComment, StopsWhereReadableMemoryEnds) {
    TGuardedPage page;
    page.Fill(0, 4096, 'Z');
    EXPECT_EQ(StringComment(page.End() - 3), "  ; 'ZZZ'...");
    EXPECT_EQ(StringComment(page.End()), "");
    EXPECT_EQ(StringComment(0), "");
}

TEST(AddressName, JoinsThePlaceAndAddsTheLinePastTheSecond) {
    TTableNaming naming;
    naming.AddCode(0x1000, 0x1010, {"unit.cpp", "TClass", "Method", 20, 0});
    naming.AddCode(0x1010, 0x1020, {"unit.cpp", "TClass", "Method", 21, 1});
    naming.AddCode(0x1020, 0x1030, {"unit.cpp", "TClass", "Method", 22, 2});
    naming.AddCode(0x2000, 0x2010, {"", "", "free_function", 0, 0});
    naming.AddObject(0x3000, "TObject");
    EXPECT_EQ(AddressName(naming, 0x1000), "unit.TClass.Method");
    EXPECT_EQ(AddressName(naming, 0x1010), "unit.TClass.Method");
    EXPECT_EQ(AddressName(naming, 0x1020), "unit.TClass.Method (Line=22)");
    EXPECT_EQ(AddressName(naming, 0x2000), "free_function");
    EXPECT_EQ(AddressName(naming, 0x3000), "TObject");
    EXPECT_EQ(AddressName(naming, 0x4000), "");
}

TEST(ListingNaming, FollowsImportStubsAndCellsToTheRoutine) {
    TGuardedPage page;
    TTableNaming naming;
    const std::uint64_t routine = page.Start() + 0x800;
    naming.AddCode(routine, routine + 16, {"lib.c", "", "routine", 5, 0});
    // A cell holding the routine's address, and a stub "endbr64; bnd jmp [rip+cell]".
    std::vector<std::uint8_t> cell;
    for (int i = 0; i < 8; ++i) {
        cell.push_back(static_cast<std::uint8_t>(routine >> (8 * i)));
    }
    page.Put(0x400, cell);
    page.Put(0x100, {0xF3, 0x0F, 0x1E, 0xFA, 0xF2, 0xFF, 0x25, 0xF5, 0x02, 0x00, 0x00});
    const TDisAsm disasm(TMachineMode::Bits64, ListingNamingCallbacks(naming));
    const std::vector<std::uint8_t> callStub = {0xE8, 0xFB, 0x00, 0x00, 0x00};
    EXPECT_EQ(disasm.Decode(callStub, page.Start()).Text, "call    lib.routine");
    const std::vector<std::uint8_t> callCell = {0xFF, 0x15, 0xFA, 0x03, 0x00, 0x00};
    EXPECT_EQ(disasm.Decode(callCell, page.Start()).Text, "call    lib.routine");
    // Unnamed targets keep their numbers.
    const std::vector<std::uint8_t> callElsewhere = {0xE8, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(disasm.Decode(callElsewhere, page.Start()).Text, "call    +$00000000");
}

TEST(ListingNaming, CommentsOnlyWideImmediatesAndComputedAddresses) {
    TGuardedPage page;
    TTableNaming naming;
    page.Put(0x10, {'o', 'k', 0});
    const TDisAsm disasm(TMachineMode::Bits64, ListingNamingCallbacks(naming));
    const std::uint64_t text = page.Start() + 0x10;
    // lea rdi, [rip+text] placed 0x10 bytes before the text
    const std::vector<std::uint8_t> lea = {0x48, 0x8D, 0x3D, 0x09, 0x00, 0x00, 0x00};
    EXPECT_EQ(disasm.Decode(lea, page.Start()).Text,
              "lea     rdi, [$" + PointerText(text) + "]  ; 'ok'");
    // A load from the same place reads a value, not a text.
    const std::vector<std::uint8_t> load = {0x48, 0x8B, 0x3D, 0x09, 0x00, 0x00, 0x00};
    EXPECT_EQ(disasm.Decode(load, page.Start()).Text,
              "mov     rdi, qword ptr [$" + PointerText(text) + "]");
}

} // namespace
