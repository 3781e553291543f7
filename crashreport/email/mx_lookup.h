#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// Where the DNS servers come from: the resolver configuration, then one public server as the
// last resort (none when empty).
struct TDnsSettings {
    std::string resolvConf = "/etc/resolv.conf";
    std::uint16_t port = 53;
    std::string fallbackServer = "9.9.9.9";
};

// The IPv4 "nameserver" entries of the resolver configuration but 0.0.0.0, then the fallback.
std::vector<std::string> DnsServers(const TDnsSettings& settings);

// The mail exchanger of the address's domain (the text after the first "@", the whole address
// when it has none). Each server gets up to three tries with time-outs of T, T + 100 and
// T + 200 ms, T = (timeoutMs + 150) / 3. Raises EFaultSocketError
// "Cannot resolve the "<domain>" MX record." when no server names one.
std::string LookUpMailExchanger(std::string_view address, std::uint32_t timeoutMs,
                                const TDnsSettings& settings = {});

} // namespace faulttrap
