#include "crashreport/packaging/attachment_name.h"

#include "crashreport/options/option_types.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

struct NameCase {
    const char* path;
    std::uint16_t sendOptions;
    const char* computer;
    const char* expected;
};

TEST(AttachmentName, InsertsComputerNameThenDateBeforeTheExtension) {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = 59;
    constexpr std::uint16_t both =
        send_options::AddComputerNameToFileName | send_options::AddDateToFileName;
    const NameCase cases[] = {
        {"/tmp/BugReport.zip", 0, "PC01", "BugReport.zip"},
        {"/tmp/BugReport.zip", both, "PC01", "BugReport__PC01__20240131235959.zip"},
        {"/tmp/BugReport.zip", send_options::AddComputerNameToFileName, "PC01",
         "BugReport__PC01.zip"},
        {"/tmp/BugReport.zip", send_options::AddDateToFileName, "PC01",
         "BugReport__20240131235959.zip"},
        {"/var/log/app.v2.ftlog", send_options::AddComputerNameToFileName, "HOST",
         "app.v2__HOST.ftlog"},
        {"/tmp/README", send_options::AddComputerNameToFileName, "HOST", "README__HOST"},
        {"/tmp/a.zip", send_options::AddComputerNameToFileName, "A-VERY-LONG-HOSTNAME",
         "a__A-VERY-LONG-HOS.zip"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(AttachmentName(c.path, c.sendOptions, c.computer, time), c.expected);
    }
}

TEST(AttachmentName, ComputerNameIsAtMostFifteenCharacters) {
    const std::string name = ComputerName();
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 15u);
}

} // namespace
} // namespace faulttrap
