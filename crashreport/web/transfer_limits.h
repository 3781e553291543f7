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
    // Longest time for a whole route: every request, redirect and retry of one delivery step.
    std::chrono::milliseconds overallTimeout{120000};
    // When the route that this exchange belongs to must end (set when the route starts).
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    std::size_t maxResponseBytes = 32u * 1024 * 1024;
    // Redirects followed within one exchange.
    int maxRedirects = 20;
    // File of the certificate authorities that HTTPS servers are verified against; empty: the
    // system's.
    std::string certificateAuthorityFile;
};

} // namespace faulttrap
