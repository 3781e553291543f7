#include "crashreport/delivery/background_deliveries.h"

#include "crashreport/delivery/delivery_deadlines.h"

#include "crashreport/email/client_socket.h"
#include "crashreport/intercept/events.h"
#include "crashreport/web/curl_session.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace faulttrap {

std::size_t TBackgroundDeliveries::Begin(std::uintptr_t address, TFaultTrapErrorCode code) {
    const std::lock_guard lock(mutex_);
    if (!exitHookSet_) {
        exitHookSet_ = true;
        std::atexit([] { BackgroundDeliveries().WaitAtExit(); });
    }
    deliveries_[next_] = {address, code, false, false};
    return next_++;
}

void TBackgroundDeliveries::End(std::size_t ticket, bool sent) {
    {
        const std::lock_guard lock(mutex_);
        const auto found = deliveries_.find(ticket);
        if (found == deliveries_.end()) {
            return;
        }
        found->second.done = true;
        found->second.sent = sent;
    }
    ended_.notify_all();
}

void TBackgroundDeliveries::WaitAtExit() {
    std::unique_lock lock(mutex_);
    if (deliveries_.empty()) {
        return;
    }
    const auto allDone = [this] {
        for (const auto& [ticket, delivery] : deliveries_) {
            if (!delivery.done) {
                return false;
            }
        }
        return true;
    };
    if (!ended_.wait_for(lock, CurrentDeliveryDeadlines().exitWait, allDone)) {
        // Every wait of the deliveries left ends now, so that the program can end too (its
        // finalisation waits for the send threads' hold of the processing).
        AbandonSocketConversations();
        AbandonTransfers();
    }
    for (const auto& [ticket, delivery] : deliveries_) {
        if (delivery.done && delivery.sent) {
            std::fputs("FaultTrap: the bug report was sent.\n", stderr);
            continue;
        }
        const std::string text = delivery.done
                                     ? "The bug report could not be sent."
                                     : "The program ended before the bug report was sent: "
                                       "its delivery was abandoned.";
        std::fprintf(stderr, "FaultTrap: %s\n", text.c_str());
        if (!delivery.done) {
            WriteWarning(delivery.address, delivery.code, text);
        }
    }
    deliveries_.clear();
}

TBackgroundDeliveries& BackgroundDeliveries() {
    static auto* deliveries = new TBackgroundDeliveries;
    return *deliveries;
}

} // namespace faulttrap
