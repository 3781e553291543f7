#pragma once

#include <signal.h>

#include <functional>
#include <optional>
#include <string>

namespace faulttrap {

// Runs `call` (an event handler of the program) so that its failure abandons it instead of
// ending the process: an exception it throws, and a fault of the operating system inside it
// (caught on this thread), come back as "<class>: <message>" of that failure; none when it
// returned normally. An abandoned handler's frames are dropped where they stand.
std::optional<std::string> RunGuarded(const std::function<void()>& call);

// For the fatal-signal handler: when the faulting thread runs a guarded call, the call is
// abandoned and this does not return; otherwise it returns at once.
void AbandonGuardedCall(int signal, const siginfo_t* info, const void* context);

} // namespace faulttrap
