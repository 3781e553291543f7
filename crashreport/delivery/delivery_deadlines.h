#pragma once

#include <chrono>

namespace faulttrap {

// How long a delivery may take, so that no peer can hold the program (or its window) longer.
struct TDeliveryDeadlines {
    // No byte moved for this long ends the exchange (and is each wait of an SMTP conversation).
    std::chrono::milliseconds stall{30000};
    // A whole route (every request, redirect and retry of it) ends after this long.
    std::chrono::milliseconds overall{120000};
    // A program that ends while a send thread delivers waits this long for it.
    std::chrono::milliseconds exitWait{15000};
};

// The deadlines of the deliveries that start from now on.
void SetDeliveryDeadlines(const TDeliveryDeadlines& deadlines);
TDeliveryDeadlines CurrentDeliveryDeadlines();

} // namespace faulttrap
