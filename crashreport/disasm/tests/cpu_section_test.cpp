#include "disasm/cpu_section.h"

#include "guarded_page.h"

#include "disasm/operand_text.h"

#include <gtest/gtest.h>

using namespace faulttrap;

namespace {

const std::string kUnknown = "????            ";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    EXPECT_EQ(from, text.size()) << "every line ends with CR LF";
    return lines;
}

TEST(CpuSection, WithoutContextShowsQuestionMarksAndNoDump) {
    const std::vector<std::string> lines = Lines(CpuSection({}, {std::nullopt, 0, 0}, true));
    const std::vector<std::string> expected = {
        "Registers:",
        std::string(45, '-'),
        "RAX: " + kUnknown + "   RDI: " + kUnknown,
        "RBX: " + kUnknown + "   RSI: " + kUnknown,
        "RCX: " + kUnknown + "   RSP: " + kUnknown,
        "RDX: " + kUnknown + "   RIP: " + kUnknown,
        "R8 : " + kUnknown + "   R12: " + kUnknown,
        "R9 : " + kUnknown + "   R13: " + kUnknown,
        "R10: " + kUnknown + "   R14: " + kUnknown,
        "R11: " + kUnknown + "   R15: " + kUnknown,
        "",
        "Stack:" + std::string(31, ' ') + "Memory Dump:",
        std::string(34, '-') + "   " + std::string(83, '-'),
    };
    EXPECT_EQ(lines, expected);
}

TEST(CpuSection, NotCollectedLeavesTheHeadingAlone) {
    TCpuSectionTexts texts;
    texts.Registers = "Registradores";
    EXPECT_EQ(CpuSection(texts, {TCpuRegisters{}, 0, 0}, false),
              "Registradores:\r\n" + std::string(14, '-') + "\r\n\r\n");
}

TEST(CpuSection, ShowsRegistersAndDumpsStackAndCode) {
    TGuardedPage page;
    TCpuRegisters registers;
    registers.Rax = 0x1122334455667788;
    registers.R15 = 0xF;
    registers.Rsp = page.Start();
    registers.Rip = page.Start() + 0x400;
    page.Put(0, {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11});
    page.Put(0x400, {'A', 'B', 0x00, 0x7F, 0x20});
    const std::vector<std::string> lines =
        Lines(CpuSection({}, {registers, registers.Rsp, registers.Rip}, true));
    ASSERT_EQ(lines.size(), 13u + 16u);
    EXPECT_EQ(lines[2], "RAX: 1122334455667788   RDI: 0000000000000000");
    EXPECT_EQ(lines[9], "R11: 0000000000000000   R15: 000000000000000F");
    EXPECT_EQ(lines[13], PointerText(page.Start()) + ": 1122334455667788   " +
                             PointerText(page.Start() + 0x400) +
                             ": 41 42 00 7F 20 00 00 00 00 00 00 00 00 00 00 00  AB.. ...........");
    EXPECT_TRUE(lines[28].starts_with(PointerText(page.Start() + 8 * 15) + ": 0000000000000000   " +
                                      PointerText(page.Start() + 0x400 + 16 * 15) + ": "));
}

TEST(CpuSection, UnreadableStackOrCodeIsMarkedInsteadOfDroppingTheDump) {
    TGuardedPage page;
    // The code runs into the unreadable page after 8 bytes; the stack is unreadable.
    const std::uint64_t code = page.End() - 8;
    page.Fill(4096 - 8, 8, 0x90);
    const std::vector<std::string> lines =
        Lines(CpuSection({}, {std::nullopt, page.End(), code}, true));
    ASSERT_EQ(lines.size(), 13u + 16u);
    EXPECT_EQ(lines[13], PointerText(page.End()) + ": " + std::string(16, '?') + "   " +
                             PointerText(code) +
                             ": 90 90 90 90 90 90 90 90 ?? ?? ?? ?? ?? ?? ?? ??  ................");
    // Nothing readable at all: no dump lines.
    EXPECT_EQ(Lines(CpuSection({}, {std::nullopt, page.End(), page.End()}, true)).size(), 13u);
}

} // namespace
