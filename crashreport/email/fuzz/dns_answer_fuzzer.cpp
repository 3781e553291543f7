// Feeds arbitrary datagrams to the DNS answer parser of the MX lookup.

#include "crashreport/email/dns_mx.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    if (const auto host = faulttrap::ParseMxAnswer(datagram)) {
        // A name is at most 255 bytes and never ends in a dot.
        if (host->empty() || host->size() > 255 || host->back() == '.') {
            std::abort();
        }
    }
    return 0;
}
