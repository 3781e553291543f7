#include "crashreport/options/current_options.h"
#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

const char* const kAssertion =
    "\r\nCannot use 'CurrentFaultTrapOptions' function without activate FaultTrap.\r\n"
    "Link FaultTrap into the program and embed its data with the 'faulttrap' build tool.";

void ExpectAssertion() {
    try {
        CurrentFaultTrapOptions();
        FAIL() << "no assertion";
    } catch (const AssertionFailure& failure) {
        EXPECT_STREQ(failure.what(), kAssertion);
    }
}

TEST(CurrentFaultTrapOptions, FailsWithoutAModuleList) {
    SetModuleOptionsLookup(nullptr);
    ExpectAssertion();
}

TEST(CurrentFaultTrapOptions, FailsWhenTheListHoldsNoEntryForTheModule) {
    SetModuleOptionsLookup([](const TLoadedModule&) { return nullptr; });
    ExpectAssertion();
    SetModuleOptionsLookup(nullptr);
}

TEST(CurrentFaultTrapOptions, GivesTheOptionsOfTheModuleThatRunsFaultTrap) {
    TFaultModuleOptionsEx own(testing::kThisProgram, false);
    TLoadedModule asked;
    SetModuleOptionsLookup([&](const TLoadedModule& module) {
        asked = module;
        return &own;
    });
    EXPECT_EQ(&CurrentFaultTrapOptions(), &own);
    EXPECT_TRUE(NamesSubsystemModule(asked.Path));
    EXPECT_NE(asked.Handle, 0u);
    SetModuleOptionsLookup(nullptr);
}

} // namespace
} // namespace faulttrap
