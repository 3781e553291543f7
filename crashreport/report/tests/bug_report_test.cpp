#include "crashreport/report/bug_report.h"

#include "crashreport/report/tests/fixed_report.h"
#include "crashreport/report/tests/golden.h"
#include "crashreport/report/tests/zone.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

using testing::FixedParts;
using testing::Golden;
using testing::ScopedZone;

TEST(BugReport, EverySectionHasTheLayoutOfTheGoldenFile) {
    const ScopedZone zone("BRT3");
    const BugReport report = BugReport::Build(FixedParts(), {}, ReportTexts::Defaults());
    EXPECT_EQ(report.Text(), Golden("fixed_report.txt"));
    EXPECT_EQ(report.DeliveryText(), report.Text());
    EXPECT_EQ(
        report.Text().compare(0, report.GeneralPart().size() + 2, report.GeneralPart() + "\r\n"),
        0);
    EXPECT_EQ(report.GeneralPart().substr(report.GeneralPart().size() - 53),
              "  7.6 DHCP      : ON              - OFF            \r\n");
}

TEST(BugReport, CollectionSwitchedOffLeavesTheHeadingsAlone) {
    const ScopedZone zone("BRT3");
    ReportSettings settings;
    settings.collectModulesAndProcesses = false;
    settings.collectAssemblerAndCPU = false;
    const BugReport report = BugReport::Build(FixedParts(), settings, ReportTexts::Defaults());
    const std::string golden = Golden("fixed_report.txt");
    const std::string tail = "Modules Information:\r\n--------------------\r\n\r\n"
                             "Processes Information:\r\n----------------------\r\n\r\n"
                             "Assembler Information:\r\n----------------------\r\n\r\n"
                             "Registers:\r\n----------\r\n\r\n";
    EXPECT_EQ(report.Text(), golden.substr(0, golden.find("Modules Information:")) + tail);
}

TEST(BugReport, HiddenFieldsAndFiltersOfTheCallStack) {
    const ScopedZone zone("BRT3");
    ReportSettings settings;
    settings.reportFields &= ~((1ull << 12) | (1ull << 13)); // 2.7 and 2.8
    settings.reportFields &= ~(0x3Full << 36);               // the whole of section 6
    settings.stackOptions = 0x00;
    const BugReport report = BugReport::Build(FixedParts(), settings, ReportTexts::Defaults());
    const std::string& text = report.Text();
    EXPECT_NE(text.find("  2.6 Message       : Cannot open.\r\n"
                        "  2.9 Status        : New\r\n"
                        "  2.10 Note         : \r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Operating System"), std::string::npos);
    EXPECT_NE(text.find("  5.11 Printer      : \r\n\r\nNetwork:\r\n"), std::string::npos);
    EXPECT_EQ(text.find("__libc_start_main"), std::string::npos) << "procedure-only entries";
    EXPECT_NE(text.find("|0000000000401A2B|cadastro|main.cpp  |      |Open            |120[3]|"),
              std::string::npos)
        << text;
}

TEST(BugReport, AConsoleProgramHasNoActiveControls) {
    ReportParts parts = FixedParts();
    parts.general.consoleOrWebProgram = true;
    const BugReport report = BugReport::Build(parts, {}, ReportTexts::Defaults());
    EXPECT_EQ(report.Text().find("Active Controls"), std::string::npos);
    EXPECT_NE(report.Text().find("\r\nComputer:\r\n"), std::string::npos);
    EXPECT_NE(report.Text().find("  5.1 Name"), std::string::npos) << "numbers do not shift";
}

TEST(BugReport, LeakBlocksAreCaptionedWithTheirTotals) {
    ReportParts parts = FixedParts();
    parts.stack.resize(1);
    parts.stack[0].exceptionAddress = false;
    parts.stack[0].leak = true;
    parts.stack[0].leakType = "Data";
    parts.stack[0].leakSize = 128;
    parts.stack[0].leakCount = 2;
    parts.stack.push_back(parts.stack[0]);
    parts.stack[1].leakType = "TList";
    const BugReport report = BugReport::Build(parts, {}, ReportTexts::Defaults());
    EXPECT_NE(report.Text().find("|+Memory Leak: Type=Data; Total size=128; Count=2   "),
              std::string::npos);
    EXPECT_NE(report.Text().find("   |\r\n|+Memory Leak: Type=TList; Total size=128; Count=2  "),
              std::string::npos)
        << "a new leak starts a block after an empty row";
}

TEST(BugReport, InsertedSectionsFollowTheGeneralPartInTheirOrder) {
    const ScopedZone zone("BRT3");
    BugReport report = BugReport::Build(FixedParts(), {}, ReportTexts::Defaults());
    const std::string original = report.Text();
    const std::string generalPart = report.GeneralPart();

    report.InsertSection("Custom Information", {});
    report.InsertSteps("Request", "");
    EXPECT_EQ(report.Text(), original) << "nothing to insert";

    report.InsertSection("Custom Information", {{" Shop ", " Loja 1 "}, {"Till", "3"}});
    report.InsertSteps("Request", "Open the form.\r\nPress F2: nothing happens.");
    const std::string custom = "Custom Information:\r\n"
                               "-------------------\r\n"
                               "  8.1 Shop: Loja 1\r\n"
                               "  8.2 Till: 3\r\n";
    const std::string request = "Request:\r\n"
                                "----------------------------------\r\n"
                                "  8.1 : Open the form.\r\n"
                                "        Press F2:_nothing happens.\r\n";
    EXPECT_EQ(report.GeneralPart(), generalPart + "\r\n" + custom + "\r\n" + request);
    EXPECT_EQ(report.Text(),
              report.GeneralPart() + "\r\n" + original.substr(generalPart.size() + 2));
    EXPECT_EQ(report.DeliveryText(), report.Text());
}

TEST(BugReport, TheTypedEmailReplacesItem33Everywhere) {
    BugReport report = BugReport::Build(FixedParts(), {}, ReportTexts::Defaults());
    report.ReplaceEmail("ana@example.org\r\nX-Injected: 1");
    for (const std::string* text :
         {&report.GeneralPart(), &report.Text(), &report.DeliveryText()}) {
        EXPECT_NE(text->find("\r\n  3.3 Email     : ana@example.org  X-Injected: 1\r\n"
                             "  3.4 Company   : \r\n"),
                  std::string::npos);
    }

    ReportSettings hidden;
    hidden.reportFields &= ~(1ull << 18);
    BugReport without = BugReport::Build(FixedParts(), hidden, ReportTexts::Defaults());
    const std::string before = without.Text();
    without.ReplaceEmail("ana@example.org");
    EXPECT_EQ(without.Text(), before);
}

} // namespace
} // namespace faulttrap
