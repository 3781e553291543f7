#include "crashreport/report/log_item.h"

#include <gtest/gtest.h>

#include <string>

namespace faulttrap {
namespace {

std::string Blanks(std::size_t count) {
    return std::string(count, ' ');
}
std::string Rule(std::size_t count) {
    return std::string(count, '-');
}

TEST(LogItem, AlignsTheSeparatorOfEverySectionAndRulesItToTheLongestLine) {
    TLogItem items(0);
    items.AddHeading("Exception");
    items.AddItem("Date", "Tue");
    items.AddItem("Address", "00401000");
    items.AddHeading("User");
    items.AddItem("ID", "joe");

    EXPECT_EQ(items.Format(), "Exception:\r\n" + Rule(23) + "\r\n" +
                                  "  1.1 Date   : Tue\r\n"
                                  "  1.2 Address: 00401000\r\n"
                                  "\r\n"
                                  "User:\r\n" +
                                  Rule(13) + "\r\n" + "  2.1 ID: joe\r\n");
}

TEST(LogItem, HiddenItemsKeepTheirNumbersAndAnEmptySectionDisappears) {
    TLogItem items(0);
    items.AddHeading("Exception");
    items.AddItem("Type", "std::runtime_error");
    items.AddItem("ID", "1A2B", false);
    items.AddItem("Count", "1", false);
    items.AddItem("Status", "New");
    items.AddHeading("Hidden");
    items.AddItem("One", "1", false);
    items.AddHeading("User");
    items.AddItem("ID", "joe", false);
    items.AddItem("Email", "");

    EXPECT_EQ(items.Format(), "Exception:\r\n" + Rule(32) + "\r\n" +
                                  "  1.1 Type  : std::runtime_error\r\n"
                                  "  1.4 Status: New\r\n"
                                  "\r\n"
                                  "User:\r\n" +
                                  Rule(13) + "\r\n" + "  3.2 Email: \r\n");
}

TEST(LogItem, MultiLineValuesContinueInTheValueColumn) {
    TLogItem items(0);
    items.AddHeading("User");
    items.AddItem("ID", "joe");
    items.AddItem("Name", "x", false);
    items.AddItem("Privileges", "CAP_A - ON\r\nCAP_B: x - OFF\n\r\nlast\r\n");
    items.AddHeading("Last");
    items.AddItem("A", "b");

    const std::string continuation = Blanks(17) + ' ';
    EXPECT_EQ(items.Format(), "User:\r\n" + Rule(32) + "\r\n" + "  1.1 ID" + Blanks(8) +
                                  ": joe\r\n"
                                  "  1.3 Privileges: CAP_A - ON\r\n" +
                                  continuation + "CAP_B:_x - OFF\r\n" + continuation + ".\r\n" +
                                  continuation + "last\r\n" +
                                  "\r\n"
                                  "Last:\r\n" +
                                  Rule(10) + "\r\n" + "  2.1 A: b\r\n");
}

TEST(LogItem, InsertedSectionsStartAfterTheGivenNumber) {
    TLogItem items(7);
    items.AddHeading("Request");
    items.AddItem("", "open the form");

    EXPECT_EQ(items.Format(), "Request:\r\n" + Rule(21) + "\r\n  8.1 : open the form\r\n");
}

TEST(LogItem, NothingWrittenGivesAnEmptyText) {
    TLogItem items(0);
    items.AddHeading("A");
    items.AddItem("x", "1", false);
    items.AddHeading("B");

    EXPECT_EQ(items.Format(), "");
}

} // namespace
} // namespace faulttrap
