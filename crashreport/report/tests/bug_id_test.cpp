#include "crashreport/report/bug_id.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(BugId, Crc16MatchesTheCataloguedCheckValues) {
    EXPECT_EQ(Crc16(""), 0x0000);
    EXPECT_EQ(Crc16("A"), 0x58E5);
    EXPECT_EQ(Crc16("123456789"), 0x31C3);
}

ReportStackEntry Entry(std::string unit, std::string className, std::string procedure, int line,
                       int offset, std::uint64_t thread = 7) {
    ReportStackEntry entry;
    entry.kind = ReportStackEntry::Line;
    entry.unitName = std::move(unit);
    entry.className = std::move(className);
    entry.procedureName = std::move(procedure);
    entry.line = line;
    entry.lineOffset = offset;
    entry.threadId = thread;
    return entry;
}

TEST(BugId, CoversTheClassAndTheLinesOfTheExceptionThreadOnly) {
    std::vector<ReportStackEntry> stack = {Entry("5", "6", "7", 120, 89)};
    // The identity is "1234" + "5" + "6" + "7" + "89": the catalogue's "123456789".
    EXPECT_EQ(BugId("1234", stack, 7), "31C3");

    stack.push_back(Entry("x", "y", "z", 0, 3));     // no line number
    stack.push_back(Entry("x", "y", "z", 10, 3, 8)); // another thread
    stack.push_back(Entry("x", "y", "z", 10, 3));    // where the thread was created
    stack.back().ownStack = false;
    stack.insert(stack.begin(), Entry("", "", "", 0, 0)); // unresolved
    stack.front().address = 0x401000;
    EXPECT_EQ(BugId("1234", stack, 7), "31C3");

    EXPECT_EQ(BugId("A", {}, 7), "58E5");
}

TEST(BugId, TheLoadAddressDoesNotChangeIt) {
    auto first = Entry("main.cpp", "", "Run", 40, 3);
    auto second = first;
    first.address = 0x555555554000;
    second.address = 0x7F0000001000;
    EXPECT_EQ(BugId("std::runtime_error", {first}, 7), BugId("std::runtime_error", {second}, 7));
    EXPECT_NE(BugId("std::runtime_error", {first}, 7), BugId("std::logic_error", {first}, 7));
}

} // namespace
} // namespace faulttrap
