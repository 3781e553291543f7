#include "crashreport/debuginfo/module_version.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(FourPartVersion, FillsTheMissingNumbersAndRefusesAnythingElse) {
    const struct {
        const char* given;
        std::optional<std::string> shown;
    } cases[] = {
        {"1", "1.0.0.0"},       {"1.0.0", "1.0.0.0"},        {"2.10.3.44", "2.10.3.44"},
        {"007.1", "7.1.0.0"},   {"", std::nullopt},          {"1..2", std::nullopt},
        {"1.2.", std::nullopt}, {"1.2.3.4.5", std::nullopt}, {"1.2-beta", std::nullopt},
        {"v1.0", std::nullopt}, {"-1.0", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FourPartVersion(c.given), c.shown) << '"' << c.given << '"';
    }
}

TEST(ModuleVersion, IsEmptyForAFileWithoutOneOrThatIsNoModule) {
    EXPECT_EQ(ModuleVersion("/bin/sh"), "");
    EXPECT_EQ(ModuleVersion("/nonexistent/program"), "");
}

} // namespace
} // namespace faulttrap
