#include "crashreport/report/system_facts.h"

#include "crashreport/report/report_text.h"
#include "crashreport/report/value_formats.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <fstream>
#include <ifaddrs.h>
#include <iterator>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace faulttrap {

namespace {

std::string ReadText(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The value after "key" and the separator on the first line that starts with it.
std::string FieldValue(std::string_view text, std::string_view key, char separator) {
    for (const auto& line : SplitLines(text)) {
        if (line.compare(0, key.size(), key) != 0) {
            continue;
        }
        const std::size_t at = line.find(separator, key.size());
        if (at != std::string::npos && Trim(line.substr(key.size(), at - key.size())).empty()) {
            return Trim(line.substr(at + 1));
        }
    }
    return {};
}

std::string Unquoted(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string UserName() {
    if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_name != nullptr) {
        return std::string(user->pw_name).substr(0, 49);
    }
    return {};
}

std::uint64_t HexField(std::string_view status, std::string_view key) {
    const std::string value = FieldValue(status, key, ':');
    return value.empty() ? 0 : std::strtoull(value.c_str(), nullptr, 16);
}

std::string CurrentLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    const std::string configured =
        Unquoted(FieldValue(ReadText("/etc/default/locale"), "LANG", '='));
    return configured.empty() ? "C" : configured;
}

bool HasDhcpLease(const std::string& interface, unsigned index) {
    std::error_code ignored;
    return std::filesystem::exists("/run/systemd/netif/leases/" + std::to_string(index), ignored) ||
           std::filesystem::exists("/var/lib/dhcp/dhclient." + interface + ".leases", ignored);
}

std::vector<NetworkAdapterFacts> NetworkAdapters() {
    std::vector<NetworkAdapterFacts> adapters;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return adapters;
    }
    const auto gateways = DefaultGateways(ReadText("/proc/net/route"));
    const auto servers = NameServers(ReadText("/etc/resolv.conf"));
    const std::string none = FormatPaddedIpv4(0);
    std::vector<std::string> seen;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            (entry->ifa_flags & IFF_LOOPBACK) != 0 || (entry->ifa_flags & IFF_UP) == 0) {
            continue;
        }
        const std::string name = entry->ifa_name;
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            continue; // the first address of each adapter
        }
        seen.push_back(name);
        NetworkAdapterFacts adapter;
        adapter.address = FormatPaddedIpv4(
            reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
        adapter.mask =
            entry->ifa_netmask != nullptr
                ? FormatPaddedIpv4(
                      reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr)
                : none;
        adapter.gateway = none;
        for (const auto& [interface, gateway] : gateways) {
            if (interface == name) {
                adapter.gateway = FormatPaddedIpv4(gateway);
                break;
            }
        }
        adapter.dns1 = servers.empty() ? none : FormatPaddedIpv4(servers[0]);
        adapter.dns2 = servers.size() < 2 ? none : FormatPaddedIpv4(servers[1]);
        adapter.dhcp = HasDhcpLease(name, if_nametoindex(name.c_str()));
        adapters.push_back(adapter);
    }
    freeifaddrs(list);
    return adapters;
}

} // namespace

MemoryTotals ParseMeminfo(std::string_view meminfo) {
    MemoryTotals totals;
    const auto kilobytes = [&](std::string_view key) -> std::optional<std::uint64_t> {
        const std::string value = FieldValue(meminfo, key, ':');
        if (value.empty()) {
            return std::nullopt;
        }
        return std::strtoull(value.c_str(), nullptr, 10) * 1024;
    };
    totals.total = kilobytes("MemTotal");
    totals.available = kilobytes("MemAvailable");
    return totals;
}

std::string ProcessorName(std::string_view cpuinfo) {
    if (std::string name = FieldValue(cpuinfo, "model name", ':'); !name.empty()) {
        return name;
    }
    const std::string vendor = FieldValue(cpuinfo, "vendor_id", ':');
    const std::string family = FieldValue(cpuinfo, "cpu family", ':');
    if (vendor.empty() && family.empty()) {
        return "Unknown processor";
    }
    return vendor + " - Family " + family + " Model " + FieldValue(cpuinfo, "model", ':') +
           " Stepping " + FieldValue(cpuinfo, "stepping", ':');
}

std::string OsReleaseName(std::string_view osRelease) {
    if (std::string pretty = Unquoted(FieldValue(osRelease, "PRETTY_NAME", '=')); !pretty.empty()) {
        return pretty;
    }
    return Unquoted(FieldValue(osRelease, "NAME", '='));
}

std::vector<std::uint32_t> NameServers(std::string_view resolvConf) {
    std::vector<std::uint32_t> servers;
    for (const auto& line : SplitLines(resolvConf)) {
        std::istringstream words(line);
        std::string keyword;
        std::string address;
        in_addr parsed{};
        if (words >> keyword >> address && keyword == "nameserver" &&
            inet_pton(AF_INET, address.c_str(), &parsed) == 1) {
            servers.push_back(parsed.s_addr);
        }
    }
    return servers;
}

std::vector<std::pair<std::string, std::uint32_t>> DefaultGateways(std::string_view routes) {
    std::vector<std::pair<std::string, std::uint32_t>> gateways;
    const auto lines = SplitLines(routes);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream fields(lines[i]);
        std::string interface;
        std::string destination;
        std::string gateway;
        if (fields >> interface >> destination >> gateway && destination == "00000000") {
            // The kernel writes the address as the hexadecimal of its bytes in memory order.
            gateways.emplace_back(
                interface, static_cast<std::uint32_t>(std::strtoul(gateway.c_str(), nullptr, 16)));
        }
    }
    return gateways;
}

std::string CapabilityLines(std::uint64_t permitted, std::uint64_t effective) {
    static const char* const kNames[] = {"CAP_CHOWN",
                                         "CAP_DAC_OVERRIDE",
                                         "CAP_DAC_READ_SEARCH",
                                         "CAP_FOWNER",
                                         "CAP_FSETID",
                                         "CAP_KILL",
                                         "CAP_SETGID",
                                         "CAP_SETUID",
                                         "CAP_SETPCAP",
                                         "CAP_LINUX_IMMUTABLE",
                                         "CAP_NET_BIND_SERVICE",
                                         "CAP_NET_BROADCAST",
                                         "CAP_NET_ADMIN",
                                         "CAP_NET_RAW",
                                         "CAP_IPC_LOCK",
                                         "CAP_IPC_OWNER",
                                         "CAP_SYS_MODULE",
                                         "CAP_SYS_RAWIO",
                                         "CAP_SYS_CHROOT",
                                         "CAP_SYS_PTRACE",
                                         "CAP_SYS_PACCT",
                                         "CAP_SYS_ADMIN",
                                         "CAP_SYS_BOOT",
                                         "CAP_SYS_NICE",
                                         "CAP_SYS_RESOURCE",
                                         "CAP_SYS_TIME",
                                         "CAP_SYS_TTY_CONFIG",
                                         "CAP_MKNOD",
                                         "CAP_LEASE",
                                         "CAP_AUDIT_WRITE",
                                         "CAP_AUDIT_CONTROL",
                                         "CAP_SETFCAP",
                                         "CAP_MAC_OVERRIDE",
                                         "CAP_MAC_ADMIN",
                                         "CAP_SYSLOG",
                                         "CAP_WAKE_ALARM",
                                         "CAP_BLOCK_SUSPEND",
                                         "CAP_AUDIT_READ",
                                         "CAP_PERFMON",
                                         "CAP_BPF",
                                         "CAP_CHECKPOINT_RESTORE"};
    std::string lines;
    for (unsigned bit = 0; bit < 64; ++bit) {
        if (((permitted >> bit) & 1u) == 0) {
            continue;
        }
        const std::string name =
            bit < std::size(kNames) ? kNames[bit] : "CAP_" + std::to_string(bit);
        if (!lines.empty()) {
            lines += kCrLf;
        }
        lines += PadRight(name, 31) + (((effective >> bit) & 1u) != 0 ? " - ON" : " - OFF");
    }
    return lines;
}

std::string LanguageOfLocale(std::string_view locale) {
    return std::string(locale.substr(0, locale.find_first_of(".@")));
}

std::string CharsetOfLocale(std::string_view locale) {
    // Windows character sets by the language of the locale: what the system's code page would be.
    static const std::pair<const char*, int> kCharsets[] = {
        {"ja", 128}, {"ko", 129}, {"zh_TW", 136}, {"zh_HK", 136}, {"zh", 134}, {"el", 161},
        {"tr", 162}, {"vi", 163}, {"he", 177},    {"ar", 178},    {"fa", 178}, {"lt", 186},
        {"lv", 186}, {"et", 186}, {"ru", 204},    {"uk", 204},    {"be", 204}, {"bg", 204},
        {"sr", 204}, {"mk", 204}, {"th", 222},    {"cs", 238},    {"pl", 238}, {"hu", 238},
        {"sk", 238}, {"sl", 238}, {"hr", 238},    {"ro", 238},    {"sq", 238}};
    const std::string language = LanguageOfLocale(locale);
    for (const auto& [prefix, charset] : kCharsets) {
        if (language.compare(0, std::char_traits<char>::length(prefix), prefix) == 0) {
            return std::to_string(charset);
        }
    }
    return "0";
}

SystemFacts CollectSystemFacts(const std::filesystem::path& programFile) {
    SystemFacts facts;
    facts.userId = UserName();
    const std::string status = ReadText("/proc/self/status");
    facts.privileges = CapabilityLines(HexField(status, "CapPrm"), HexField(status, "CapEff"));

    utsname system{};
    if (uname(&system) == 0) {
        facts.computerName = system.nodename;
        facts.osBuild = system.release;
        facts.osUpdate = Trim(system.version);
    }
    const MemoryTotals memory = ParseMeminfo(ReadText("/proc/meminfo"));
    facts.totalMemory = memory.total;
    facts.freeMemory = memory.available;
    struct statvfs disk {};
    const std::string folder =
        programFile.has_parent_path() ? programFile.parent_path().string() : ".";
    if (statvfs(folder.c_str(), &disk) == 0) {
        facts.totalDisk = static_cast<std::uint64_t>(disk.f_blocks) * disk.f_frsize;
        facts.freeDisk = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
    }
    const std::string uptime = ReadText("/proc/uptime");
    if (!uptime.empty()) {
        facts.systemUpTime = std::chrono::milliseconds(
            static_cast<long long>(std::strtod(uptime.c_str(), nullptr) * 1000));
    }
    facts.processor = ProcessorName(ReadText("/proc/cpuinfo"));

    std::string release = ReadText("/etc/os-release");
    if (release.empty()) {
        release = ReadText("/usr/lib/os-release");
    }
    facts.osType = OsReleaseName(release);
    const std::string locale = CurrentLocale();
    facts.language = LanguageOfLocale(locale);
    facts.charset = CharsetOfLocale(locale);
    facts.adapters = NetworkAdapters();
    return facts;
}

} // namespace faulttrap
