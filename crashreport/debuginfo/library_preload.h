#pragma once

#include <chrono>
#include <functional>

namespace faulttrap {

// The libraries a report may need (libdw, libcrypto) are loaded by a thread of the program that
// carries FaultTrap: off the program's start-up path, but before a fault can need them. A fault
// inside the dynamic loader (a library's initialiser) holds the loader's lock for good, and a
// report that loaded a library itself then would wait for ever.
//
// AnnounceReportLibraryPreload comes before the thread starts; the thread runs
// RunReportLibraryPreload, which waits `delay` first (less when a report asks for the libraries
// earlier) and then runs `load`.
void AnnounceReportLibraryPreload();
void RunReportLibraryPreload(std::chrono::milliseconds delay, const std::function<void()>& load);

// Whether a report may load the libraries now: true without an announced preload and once the
// preload has ended; otherwise it waits a short while for it and gives false when the preload
// cannot finish. The report then resolves with FaultTrap's own data and the symbol tables.
bool MayLoadReportLibraries();

} // namespace faulttrap
