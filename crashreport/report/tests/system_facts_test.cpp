#include "crashreport/report/system_facts.h"

#include "crashreport/report/process_list.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <regex>
#include <sched.h>
#include <unistd.h>

namespace faulttrap {
namespace {

TEST(SystemFacts, ParsersReadTheirSources) {
    const MemoryTotals memory = ParseMeminfo("MemTotal:       16303444 kB\n"
                                             "MemFree:          912345 kB\n"
                                             "MemAvailable:    8151722 kB\n");
    EXPECT_EQ(memory.total, 16303444ull * 1024);
    EXPECT_EQ(memory.available, 8151722ull * 1024);
    EXPECT_FALSE(ParseMeminfo("").total);

    EXPECT_EQ(ProcessorName("processor\t: 0\nvendor_id\t: GenuineIntel\n"
                            "model name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\n"),
              "Intel(R) Xeon(R) CPU @ 2.20GHz");
    EXPECT_EQ(ProcessorName("vendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel\t\t: 49\n"
                            "stepping\t: 0\n"),
              "AuthenticAMD - Family 23 Model 49 Stepping 0");
    EXPECT_EQ(ProcessorName("processor\t: 0\n"), "Unknown processor");

    EXPECT_EQ(OsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                            "(bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(OsReleaseName("NAME=Alpine\n"), "Alpine");

    const auto servers = NameServers("# generated\nnameserver 10.0.0.2\nnameserver ::1\n"
                                     "search example.org\nnameserver 8.8.4.4\n");
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0], htonl(0x0A000002));
    EXPECT_EQ(servers[1], htonl(0x08080404));

    const auto gateways =
        DefaultGateways("Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n"
                        "eth0\t00000000\t0102A8C0\t0003\t0\t0\t0\t00000000\n"
                        "eth0\t0002A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\n");
    ASSERT_EQ(gateways.size(), 1u);
    EXPECT_EQ(gateways[0].first, "eth0");
    EXPECT_EQ(gateways[0].second, htonl(0xC0A80201)) << "192.168.2.1";
}

TEST(SystemFacts, CapabilitiesAreListedAsPrivileges) {
    EXPECT_EQ(CapabilityLines(0, 0), "");
    EXPECT_EQ(CapabilityLines((1ull << 0) | (1ull << 21) | (1ull << 63), 1ull << 21),
              "CAP_CHOWN                       - OFF\r\n"
              "CAP_SYS_ADMIN                   - ON\r\n"
              "CAP_63                          - OFF");
}

TEST(SystemFacts, LocalesGiveLanguageAndCharset) {
    EXPECT_EQ(LanguageOfLocale("pt_BR.UTF-8"), "pt_BR");
    EXPECT_EQ(LanguageOfLocale("sr_RS@latin"), "sr_RS");
    EXPECT_EQ(CharsetOfLocale("pt_BR.UTF-8"), "0");
    EXPECT_EQ(CharsetOfLocale("ru_RU.UTF-8"), "204");
    EXPECT_EQ(CharsetOfLocale("zh_TW.UTF-8"), "136");
    EXPECT_EQ(CharsetOfLocale("zh_CN.UTF-8"), "134");
    EXPECT_EQ(CharsetOfLocale("C"), "0");
}

TEST(SystemFacts, CollectedFromThisMachine) {
    const SystemFacts facts = CollectSystemFacts("/proc/self/exe");
    EXPECT_FALSE(facts.userId.empty());
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(facts.computerName, host);
    ASSERT_TRUE(facts.totalMemory && facts.freeMemory);
    EXPECT_GT(*facts.totalMemory, 0u);
    EXPECT_LE(*facts.freeMemory, *facts.totalMemory);
    ASSERT_TRUE(facts.totalDisk && facts.freeDisk);
    EXPECT_LE(*facts.freeDisk, *facts.totalDisk);
    EXPECT_TRUE(facts.systemUpTime);
    EXPECT_FALSE(facts.processor.empty());
    EXPECT_FALSE(facts.osBuild.empty());
    const std::regex padded(R"(\d{3}\.\d{3}\.\d{3}\.\d{3})");
    for (const auto& adapter : facts.adapters) {
        for (const auto* value :
             {&adapter.address, &adapter.mask, &adapter.gateway, &adapter.dns1, &adapter.dns2}) {
            EXPECT_TRUE(std::regex_match(*value, padded)) << *value;
        }
    }
}

TEST(ProcessList, PriorityClassesAndStatLines) {
    EXPECT_EQ(PriorityClass(SCHED_OTHER, 19), "Low");
    EXPECT_EQ(PriorityClass(SCHED_OTHER, 5), "Below-Normal");
    EXPECT_EQ(PriorityClass(SCHED_OTHER, 0), "Normal");
    EXPECT_EQ(PriorityClass(SCHED_OTHER, -5), "Above-Normal");
    EXPECT_EQ(PriorityClass(SCHED_OTHER, -20), "High");
    EXPECT_EQ(PriorityClass(SCHED_FIFO, 0), "Real-Time");

    ProcessStat stat;
    ASSERT_TRUE(ParseProcessStat("42 (my (odd) name) S 1 42 42 0 -1 4194560 100 0 0 0 1 2 0 0 "
                                 "20 -3 7 0 100 1000 50 18446744073709551615 1 1 0 0 0 0 0 0 0 "
                                 "0 0 0 17 0 0 2 0 0",
                                 stat));
    EXPECT_EQ(stat.name, "my (odd) name");
    EXPECT_EQ(stat.nice, -3);
    EXPECT_EQ(stat.threads, 7);
    EXPECT_EQ(stat.policy, 2);
    EXPECT_FALSE(ParseProcessStat("42 no parentheses", stat));
    EXPECT_FALSE(ParseProcessStat("42 (short) S 1 2", stat));
}

TEST(ProcessList, ThisProcessIsListed) {
    const auto processes = CollectProcesses();
    const auto self = std::find_if(processes.begin(), processes.end(), [](const auto& process) {
        return process.id == static_cast<std::uint64_t>(getpid());
    });
    ASSERT_NE(self, processes.end());
    EXPECT_EQ(self->name, "faulttrap_report_tests");
    EXPECT_GT(self->memory, 0u);
    EXPECT_GE(self->threads, 1);
    EXPECT_FALSE(self->folder.empty());
}

} // namespace
} // namespace faulttrap
