#pragma once

#include "crashreport/intercept/events.h"

#include <cstdint>

namespace faulttrap {

// While an exception is processed: the event handlers of the module in which it lies, when that
// module is another one that carries FaultTrap (a library forwarding to this program). They run
// first for every event, through the module's exported event entries.
class TModuleEventsScope {
public:
    explicit TModuleEventsScope(std::uintptr_t exceptionAddress);
    ~TModuleEventsScope();
    TModuleEventsScope(const TModuleEventsScope&) = delete;
    TModuleEventsScope& operator=(const TModuleEventsScope&) = delete;

private:
    bool active_ = false;
    TFaultTrapEvents events_;
};

// The handlers of the exception's module while a scope is open; nullptr otherwise.
TFaultTrapEvents* ExceptionModuleEvents();

} // namespace faulttrap
