#include "crashreport/delivery/delivery_deadlines.h"

#include <mutex>

namespace faulttrap {

namespace {

std::mutex& DeadlinesMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

TDeliveryDeadlines& Deadlines() {
    static auto* deadlines = new TDeliveryDeadlines;
    return *deadlines;
}

} // namespace

void SetDeliveryDeadlines(const TDeliveryDeadlines& deadlines) {
    const std::lock_guard lock(DeadlinesMutex());
    Deadlines() = deadlines;
}

TDeliveryDeadlines CurrentDeliveryDeadlines() {
    const std::lock_guard lock(DeadlinesMutex());
    return Deadlines();
}

} // namespace faulttrap
