#pragma once

#include <functional>
#include <thread>

namespace faulttrap {

// Starts one of FaultTrap's own threads: it is listed as such and never walked or paused.
std::thread StartOwnThread(std::function<void()> body);

// Return addresses of the calling thread, innermost first.
std::vector<std::uintptr_t> CallerReturnAddresses(int skip);

} // namespace faulttrap
