#pragma once

#include "crashreport/options/option_types.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

namespace faulttrap {

// The deliveries running on send threads. A program that ends while one runs waits for it up
// to the exit wait of the deadlines, then writes each result, or that the delivery was
// abandoned, to the standard error and the log's warning, so that no result is lost unseen.
class TBackgroundDeliveries {
public:
    // A delivery starts; `address` and `code` are those of its warning. Returns its ticket.
    std::size_t Begin(std::uintptr_t address, TFaultTrapErrorCode code);
    void End(std::size_t ticket, bool sent);
    // At the program's end: waits, then tells what became of every delivery since Begin.
    void WaitAtExit();

private:
    struct Delivery {
        std::uintptr_t address = 0;
        TFaultTrapErrorCode code = TFaultTrapErrorCode::eeNone;
        bool done = false;
        bool sent = false;
    };
    std::mutex mutex_;
    std::condition_variable ended_;
    std::map<std::size_t, Delivery> deliveries_;
    std::size_t next_ = 0;
    bool exitHookSet_ = false;
};

TBackgroundDeliveries& BackgroundDeliveries();

} // namespace faulttrap
