#include "crashreport/renderings/report_layout.h"
#include "crashreport/renderings/rich_text.h"
#include "crashreport/renderings/rtf_to_html.h"
#include "crashreport/renderings/tests/fixed_report.h"
#include "crashreport/report/cpu_capture.h"
#include "crashreport/report/cpu_section.h"
#include "crashreport/report/report_texts.h"

#include <ucontext.h>

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

const RichTextFont kFont{"Lucida Console", 8, 0, 105};

std::string BodyOf(const std::string& rtf) {
    const std::size_t start = rtf.find("\\fs16\r\n");
    return rtf.substr(start + 7, rtf.size() - start - 8);
}

TEST(RichText, EnvelopeNamesTheFontColoursAndSize) {
    const std::string rtf = GeneralRichText("FaultTrap 6.0.6\r\n", kFont);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl{\\f0"
                                "\\fmodern\\fprq1\\fcharset0 Lucida Console;}}\r\n{\\colortbl ;"
                                "\\red0\\green100\\blue100;\\red0\\green0\\blue0;"));
    EXPECT_NE(rtf.find("\\red0\\green100\\blue0;}\r\n\\f0\\fs16\r\n"), std::string::npos);
    EXPECT_TRUE(rtf.ends_with("}"));
}

TEST(RichText, GeneralLinesAreColouredByKind) {
    const std::string text = "FaultTrap 6.0.6\r\n"
                             "\r\n"
                             "Exception:\r\n"
                             "----------\r\n"
                             "  2.6 Message: a {b} c\\d\r\n";
    EXPECT_EQ(BodyOf(GeneralRichText(text, kFont)),
              "\\cf1\\b FaultTrap 6.0.6\\b0\\par\r\n"
              "\\par\r\n"
              "\\cf3\\b Exception:\\b0\\par\r\n"
              "\\cf3 ----------\\par\r\n"
              "\\cf5   2.6\\cf2  Message:\\cf4  a \\{b\\} c\\\\d\\par\r\n");
}

TEST(RichText, AssemblerAddressInstructionOperandsAndComment) {
    const std::string text = "0000000000401A2B  call    0000000000401000  ; <-- EXCEPTION\r\n"
                             "; main.cpp line 12\r\n"
                             "0000000000401A30  ret\r\n";
    EXPECT_EQ(BodyOf(AssemblerRichText(text, kFont)),
              "\\cf5 0000000000401A2B  \\cf4\\b call\\b0\\cf7     0000000000401000  \\cf6 ; "
              "<-- EXCEPTION\\par\r\n"
              "\\cf6 ; main.cpp line 12\\par\r\n"
              "\\cf5 0000000000401A30  \\cf4\\b ret\\b0\\par\r\n");
}

TEST(RichText, CpuPartPutsTheDumpAtATabStop) {
    const ReportLayout layout = SplitReport(testing::FixedReport());
    const std::string rtf = CpuRichText(layout.CpuText(), kFont);
    EXPECT_NE(rtf.find("\\cf3\\b Registers:\\cf2\\b0\\par"), std::string::npos);
    EXPECT_NE(rtf.find("RAX: \\cf4 0000000000000001\\cf2    RDI: \\cf4 0000000000000006\\cf2 "),
              std::string::npos);
    // The memory column starts after 37 characters ("address: value" and three blanks).
    EXPECT_NE(rtf.find("\\pard\\tx3885 \\cf3\\b Stack:\\tab Memory Dump:\\cf2\\b0"),
              std::string::npos);
    EXPECT_NE(rtf.find("000000007FFC0010: \\cf4 0000000000001002\\cf2 \\tab 0000000000401A4B: "
                       "\\cf4 20 21"),
              std::string::npos);
    EXPECT_NE(rtf.find("\\cf5    !\"#$%&'()*+,-./\\cf2 "), std::string::npos);
}

// A message line that ends in ":" is part of the value, no heading; the item line is coloured.
TEST(RichText, AValueLineEndingInAColonStaysInTheValue) {
    const std::string rtf = GeneralRichText("FaultTrap 6.0.6\r\n\r\nException:\r\n---\r\n"
                                            "  2.6 Message: first\r\n"
                                            "               line ending in colon:\r\n",
                                            kFont);
    EXPECT_NE(rtf.find("\\cf3\\b Exception:\\b0\\par"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\cf5   2.6\\cf2  Message:\\cf4  first\\par"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\par\r\n               line ending in colon:\\par"), std::string::npos)
        << rtf;
}

// The CPU part of this very thread, with the stack heading renamed to one of two words: the
// heading is split where the memory column starts, not at its first blank.
TEST(RichText, CpuHeadingOfTwoWordsStaysWholeBeforeTheTab) {
    ucontext_t context;
    ASSERT_EQ(getcontext(&context), 0);
    ReportTexts texts = ReportTexts::Defaults();
    texts.text[TextNumber(TextId::CpuStack)] = "Call Stack";
    const std::string sections = AssemblerAndCpuSections(
        {}, CaptureCpuState(context, reinterpret_cast<std::uintptr_t>(&getcontext)), true, texts);
    const std::string rtf = CpuRichText(sections.substr(sections.find("Registers:")), kFont);
    EXPECT_NE(rtf.find("\\pard\\tx3885 \\cf3\\b Call Stack:\\tab Memory Dump:\\cf2\\b0"),
              std::string::npos)
        << rtf;
    // The dump of the real stack is there, each line with its tab.
    EXPECT_NE(rtf.find(": \\cf4 "), std::string::npos) << rtf;
}

TEST(RichText, HtmlFormKeepsColoursBoldAndEscapedCharacters) {
    const HtmlRendering html = RichTextToHtml(
        GeneralRichText("FaultTrap 6.0.6\r\n\r\n  2.6 Message: <a> & {b} \\c\r\n", kFont));
    EXPECT_EQ(html.html,
              "<pre style=\"margin:0\"><span style=\"color:#006464;font-weight:bold\">FaultTrap "
              "6.0.6</span><span style=\"color:#006464\">\n\n</span>"
              "<span style=\"color:#a00000\">  2.6</span><span style=\"color:#000000\"> "
              "Message:</span><span style=\"color:#0000a0\"> &lt;a&gt; &amp; {b} \\c\n</span>"
              "</pre>");
    EXPECT_EQ(RichTextToHtml("{\\rtf1\\fs16\r\n\\pard\\tx2205 a\\tab b}").tabStopTwips, 2205);
}

} // namespace
} // namespace faulttrap
