#pragma once

#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/notify_params.h"

#include <cstdint>
#include <exception>
#include <mutex>

namespace faulttrap {

// Processes `exception` (see ExceptionManagerWith) with the calling thread's raise record;
// `address` 0 takes the address of the last raise. True when the caller's standard handling
// shall continue. Nothing is processed, and the result is true, while FaultTrap is inactive.
bool ExceptionManager(const std::exception_ptr& exception, std::uintptr_t address = 0,
                      std::uint8_t origin = 0, std::uintptr_t module = 0);

// The dispatcher: processes one exception at a time, each in a worker thread while the faulting
// thread waits and runs the event callbacks the worker posts to it. False (do not continue)
// when the calling thread is already inside the processing or the handling decided so.
bool ExceptionManagerWith(const FaultException& exception, std::uintptr_t address,
                          TExceptionOrigin origin, TExceptNotifyParams params,
                          TExceptionVerdict verdict);

// The notification entry of the raise and last-chance paths: refuses re-entry per thread, then
// hands the exception to the dispatcher.
bool NotificationEntry(const FaultException& exception, std::uintptr_t address,
                       TExceptNotifyParams params, TExceptionVerdict verdict);

// The process-wide lock of the processing: one exception at a time. A background delivery holds
// it for its whole run.
std::mutex& ProcessingLock();

// Waits until no exception is being processed (finalisation).
void WaitForProcessing();

// The 16 MiB of address space kept free for the processing (released while it runs, so that
// an exhausted address space still leaves room for the report).
void TakeAddressSpaceReserve();
void ReleaseAddressSpaceReserve();

// The id of the thread whose exception is being processed; 0 when none.
std::uint32_t ThreadInProcessing();

} // namespace faulttrap
