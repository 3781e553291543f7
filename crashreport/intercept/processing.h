#pragma once

#include "crashreport/intercept/event_channel.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/notify_params.h"

#include <cstdint>

namespace faulttrap {

// One exception handed to the processing.
struct ProcessingJob {
    FaultException exception;
    std::uintptr_t address = 0;
    TExceptionOrigin origin = TExceptionOrigin::Thread;
    TExceptNotifyParams params;
    TExceptionVerdict verdict = TExceptionVerdict::Unhandled;
};

// The processing of one exception, from the options in force to terminate or restart; the
// result tells whether the standard handling shall continue. `channel` runs the events on the
// faulting thread; without it they run on the calling thread. Failures of its own steps are
// handed to the internal-failure handler with the report stage reached.
bool ProcessException(const ProcessingJob& job, FaultingThreadChannel* channel);

} // namespace faulttrap
