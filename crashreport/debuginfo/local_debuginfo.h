#pragma once

#include <elfutils/libdwfl.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace faulttrap {

// Where the separate debug file of a module may lie on this machine, in the order they are
// tried: by build ID under /usr/lib/debug/.build-id, then by the module's debug link beside the
// module, in its ".debug" folder and under /usr/lib/debug. Never a debug-information server:
// a report must not wait for the network, nor send the modules' build IDs off the machine.
std::vector<std::string> LocalDebugFileCandidates(std::span<const std::uint8_t> buildId,
                                                  const std::string& modulePath,
                                                  const char* debugLink);

// libdw's find_debuginfo callback over LocalDebugFileCandidates.
int FindLocalDebugInfo(Dwfl_Module* module, void** userData, const char* moduleName,
                       Dwarf_Addr base, const char* fileName, const char* debugLink,
                       GElf_Word debugLinkCrc, char** debugFileName);

} // namespace faulttrap
