// Addresses in inlined code give one row per inlined call, from the container and from the
// DWARF alike.

#include "crashreport/debuginfo/tests/inlined_chain.h"

#include "crashreport/debuginfo/resolver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace faulttrap {
namespace {

int MarkedLine(const std::string& name) {
    std::ifstream in(INLINED_CHAIN_SOURCE);
    const std::string mark = "// CALL: " + name;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.ends_with(mark)) {
            return number;
        }
    }
    return 0;
}

std::string Describe(const TFaultStackList& rows) {
    std::string text;
    for (const TFaultStackEntry& row : rows) {
        text += row.className + "|" + row.procedureName + "|" + row.unitName + ":" +
                std::to_string(row.lineNumber) + "[" + std::to_string(row.lineOffset) + "]/" +
                std::to_string(row.inlineLevel) + "\n";
    }
    return text;
}

class InlinedRows : public ::testing::TestWithParam<bool> {};

TEST_P(InlinedRows, OneRowPerInlinedCallInnermostFirst) {
    inlined_chain::Record record;
    inlined_chain::RunInlinedChain(record);
    ASSERT_NE(record.returnAddress, 0u);
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver resolver(modules);
    resolver.SetUseContainers(GetParam());
    const TFaultStackList rows = resolver.ResolveRows(record.returnAddress - 1);

    const struct {
        const char* procedure;
        int line;
        int firstLine; // the line of the function's name
    } expected[] = {
        {"Deepest", MarkedLine("Deepest"), MarkedLine("Deepest") - 1},
        {"Middle", MarkedLine("Middle"), MarkedLine("Middle") - 1},
        {"RunInlinedChain", MarkedLine("RunInlinedChain"), MarkedLine("RunInlinedChain") - 1},
    };
    ASSERT_EQ(rows.size(), std::size(expected)) << Describe(rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(Describe(rows));
        EXPECT_EQ(rows[i].procedureName, expected[i].procedure);
        EXPECT_EQ(rows[i].unitName, "inlined_chain.cpp");
        EXPECT_EQ(rows[i].lineNumber, static_cast<std::uint32_t>(expected[i].line));
        EXPECT_EQ(rows[i].lineOffset,
                  static_cast<std::uint32_t>(expected[i].line - expected[i].firstLine));
        EXPECT_EQ(rows[i].inlineLevel, i);
        EXPECT_EQ(rows[i].kind, EntryKind::line);
        EXPECT_EQ(rows[i].address, record.returnAddress - 1);
    }
    EXPECT_EQ(resolver.Resolve(record.returnAddress - 1).procedureName, "Deepest");
}

INSTANTIATE_TEST_SUITE_P(Sources, InlinedRows, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Container" : "Dwarf"; });

} // namespace
} // namespace faulttrap
