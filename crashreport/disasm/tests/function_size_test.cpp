#include "crashreport/disasm/function_size.h"

#include "crashreport/disasm/tests/bytes_from_hex.h"
#include "crashreport/disasm/tests/guarded_page.h"

#include <gtest/gtest.h>

using namespace faulttrap;

namespace {

TEST(SizeToFirstReturn, RunsToTheEndOfTheFirstReturn) {
    struct TCase {
        const char* Code;
        std::size_t Size;
    };
    const TCase cases[] = {
        {"C3", 1},
        {"55 48 89 E5 5D C3 90 90", 6},
        {"C6 00 05 C7 00 01 00 00 00 C9 C2 08 00 C3", 13}, // mov, mov, leave are no returns
        {"48 8B 05 00 10 00 00 F3 C3", 9},
        {"90 90 90", 1}, // no return before the end of the code
    };
    TGuardedPage page;
    for (const TCase& c : cases) {
        const std::vector<std::uint8_t> code = BytesFromHex(c.Code);
        page.Put(0, code);
        EXPECT_EQ(SizeToFirstReturn(page.Start(), page.Start() + code.size()), c.Size) << c.Code;
        page.Fill(0, code.size(), 0);
    }
}

TEST(SizeToFirstReturn, StopsAtUnreadableCode) {
    TGuardedPage page;
    page.Fill(4096 - 4, 4, 0x90);
    EXPECT_EQ(SizeToFirstReturn(page.End() - 4, page.End() + 100), 1u);
    EXPECT_EQ(SizeToFirstReturn(page.End(), page.End() + 100), 1u);
}

TEST(SizeToFirstReturn, CrossesBufferRefills) {
    TGuardedPage page;
    page.Fill(0, 4000, 0x90);
    page.Put(4000, {0xC3});
    EXPECT_EQ(SizeToFirstReturn(page.Start(), page.End()), 4001u);
}

} // namespace
