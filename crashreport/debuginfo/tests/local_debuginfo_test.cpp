// Where a module's separate debug file is looked for: on this machine only, by build ID first.

#include "crashreport/debuginfo/local_debuginfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {
namespace {

TEST(LocalDebugInfo, LooksByBuildIdThenByDebugLink) {
    const std::array<std::uint8_t, 4> buildId{0x93, 0xAC, 0x61, 0x0E};
    const std::vector<std::string> candidates =
        LocalDebugFileCandidates(buildId, "/usr/lib/x86_64-linux-gnu/libfoo.so.1", "libfoo.debug");
    const std::vector<std::string> expected{
        "/usr/lib/debug/.build-id/93/ac610e.debug",
        "/usr/lib/x86_64-linux-gnu/libfoo.debug",
        "/usr/lib/x86_64-linux-gnu/.debug/libfoo.debug",
        "/usr/lib/debug/usr/lib/x86_64-linux-gnu/libfoo.debug",
    };
    EXPECT_EQ(candidates, expected);
}

TEST(LocalDebugInfo, WithoutBuildIdOrDebugLinkThereIsLessToTry) {
    EXPECT_TRUE(LocalDebugFileCandidates({}, "/opt/program", nullptr).empty());
    const std::array<std::uint8_t, 2> buildId{0xAB, 0xCD};
    EXPECT_EQ(LocalDebugFileCandidates(buildId, "/opt/program", ""),
              std::vector<std::string>{"/usr/lib/debug/.build-id/ab/cd.debug"});
}

// A debug link naming the module itself would make it read itself as its debug file.
TEST(LocalDebugInfo, NeverOffersTheModuleItself) {
    const std::vector<std::string> candidates =
        LocalDebugFileCandidates({}, "/opt/app/program", "program");
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), "/opt/app/program"), 0);
    EXPECT_EQ(candidates.size(), 2u);
}

} // namespace
} // namespace faulttrap
