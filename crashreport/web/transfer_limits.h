#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace faulttrap {

// Bounds of every exchange with a web or FTP server, so that a server that stalls, talks
// forever or redirects forever cannot hold the delivery (and the program) hostage.
struct TTransferLimits {
    std::chrono::milliseconds connectTimeout{30000};
    // Longest time in which not a byte moves.
    std::chrono::milliseconds stallTimeout{30000};
    // Longest time for one whole request and its answer.
    std::chrono::milliseconds totalTimeout{600000};
    std::size_t maxResponseBytes = 32u * 1024 * 1024;
    // Redirects followed within one exchange.
    int maxRedirects = 20;
    // File of the certificate authorities that HTTPS servers are verified against; empty: the
    // system's.
    std::string certificateAuthorityFile;
};

} // namespace faulttrap
