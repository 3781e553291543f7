#pragma once

// The user, computer, operating-system and network values of a report, from the sources Linux
// offers: /proc, statvfs, uname, /etc/os-release, getifaddrs, /etc/resolv.conf and the
// process's capabilities. The display values belong to the window system and stay empty here;
// values Linux has no source for (registered owner and organisation, video card, printer driver)
// stay empty.

#include "crashreport/report/general_facts.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

SystemFacts CollectSystemFacts(const std::filesystem::path& programFile);

// Parsers of the files read, one per source.
struct MemoryTotals {
    std::optional<std::uint64_t> total;
    std::optional<std::uint64_t> available;
};
MemoryTotals ParseMeminfo(std::string_view meminfo);
std::string ProcessorName(std::string_view cpuinfo);
std::string OsReleaseName(std::string_view osRelease);
std::vector<std::uint32_t> NameServers(std::string_view resolvConf); // IPv4, network order
// Default gateway of each interface from /proc/net/route.
std::vector<std::pair<std::string, std::uint32_t>> DefaultGateways(std::string_view routes);
// One line per permitted capability: its name padded to 31, " - ON" when effective, else " - OFF".
std::string CapabilityLines(std::uint64_t permitted, std::uint64_t effective);
// The language of a locale name such as "pt_BR.UTF-8", and the Windows character-set number
// that its language's code page has.
std::string LanguageOfLocale(std::string_view locale);
std::string CharsetOfLocale(std::string_view locale);

} // namespace faulttrap
