#include "crashreport/report/value_formats.h"

#include "crashreport/report/tests/fixed_report.h"
#include "crashreport/report/tests/zone.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

namespace faulttrap {
namespace {

using testing::ScopedZone;
using testing::Utc;

TEST(ValueFormats, ReportDatesCarryTheWholeHourZone) {
    const struct {
        const char* zone;
        ReportClock::time_point time;
        const char* expected;
    } cases[] = {
        {"BRT3", Utc(2026, 12, 8, 17, 5, 9), "Tue, 8 Dec 2026 14:05:09 -0300"},
        {"CET-1", Utc(2027, 1, 1, 0, 0, 0), "Fri, 1 Jan 2027 01:00:00 +0100"},
        {"UTC0", Utc(2024, 2, 29, 23, 59, 59), "Thu, 29 Feb 2024 23:59:59 +0000"},
        {"IST-5:30", Utc(2026, 6, 1, 0, 0, 0), "Mon, 1 Jun 2026 05:30:00 +0500"},
    };
    for (const auto& c : cases) {
        const ScopedZone zone(c.zone);
        EXPECT_EQ(FormatReportDate(c.time), c.expected) << c.zone;
    }
}

TEST(ValueFormats, DurationsNameTheirNonZeroUnits) {
    using std::chrono::seconds;
    const std::pair<long long, const char*> cases[] = {
        {0, "0 second"}, // a unit takes an "s" only above 1
        {1, "1 second"},
        {59, "59 seconds"},
        {60, "1 minute, 0 second"},
        {3661, "1 hour, 1 minute, 1 second"},
        {86401, "1 day, 1 second"},
        {93605, "1 day, 2 hours, 5 seconds"},
        {2 * 86400 + 2 * 3600 + 2 * 60 + 2, "2 days, 2 hours, 2 minutes, 2 seconds"},
    };
    for (const auto& [duration, expected] : cases) {
        EXPECT_EQ(FormatDuration(seconds(duration)), expected);
    }
}

TEST(ValueFormats, MemoryAndDiskSizes) {
    constexpr std::uint64_t MiB = 1048576;
    constexpr std::uint64_t GiB = 1073741824;
    EXPECT_EQ(FormatMegabytes(0), "0 Mb");
    EXPECT_EQ(FormatMegabytes(2 * MiB + MiB / 2), "2 Mb") << "half to even";
    EXPECT_EQ(FormatMegabytes(3 * MiB + MiB / 2), "4 Mb") << "half to even";
    EXPECT_EQ(FormatMegabytes(3 * MiB + MiB / 2 + 1), "4 Mb");
    EXPECT_EQ(FormatMegabytes(3 * MiB + MiB / 2 - 1), "3 Mb");
    EXPECT_EQ(FormatGigabytes(0), "0 Gb");
    EXPECT_EQ(FormatGigabytes(5 * GiB), "5 Gb");
    EXPECT_EQ(FormatGigabytes(GiB + GiB / 2), "1.5 Gb");
    EXPECT_EQ(FormatGigabytes(GiB + GiB / 4), "1.25 Gb");
    EXPECT_EQ(FormatGigabytes(GiB + 1), "1 Gb");
    EXPECT_EQ(FormatGigabytes(GiB * 999 / 1000), "1 Gb") << "0.999 rounds up";
    EXPECT_EQ(FormatGigabytes(~std::uint64_t{0}), "17179869184 Gb");
}

TEST(ValueFormats, MessagesEndInAFullStop) {
    EXPECT_EQ(FormatExceptionMessage(std::nullopt), "Unknown error message.");
    EXPECT_EQ(FormatExceptionMessage(std::string("Disk full")), "Disk full.");
    EXPECT_EQ(FormatExceptionMessage(std::string("Disk full.")), "Disk full.");
    EXPECT_EQ(FormatExceptionMessage(std::string()), ".");
    EXPECT_EQ(AccessViolationMessage(0x401A2B, "cadastro", false, 0x10),
              "Access violation at address 0000000000401A2B in module 'cadastro'. "
              "Read of address 0000000000000010");
    EXPECT_EQ(AccessViolationMessage(0x7F00, "", true, 0),
              "Access violation at address 0000000000007F00. Write of address 0000000000000000");
}

TEST(ValueFormats, AddressesTimesAndNetworkAddresses) {
    EXPECT_EQ(FormatAddress(0xABCDEF), "0000000000ABCDEF");
    EXPECT_EQ(FormatPaddedIpv4(htonl(0xC0A80001)), "192.168.000.001");
    EXPECT_EQ(FormatPaddedIpv4(0), "000.000.000.000");
    const ScopedZone zone("BRT3");
    EXPECT_EQ(FormatFileTime(Utc(2026, 12, 1, 2, 3, 4)), "2026-11-30 23:03:04");
}

} // namespace
} // namespace faulttrap
