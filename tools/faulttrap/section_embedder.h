#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

inline constexpr const char* subsystemDataSection = ".ftdata";

// Writes the container into the program as its section ".ftdata" (replacing an earlier
// one) with the binary utilities' objcopy. Failures raise std::runtime_error.
void embedSection(const std::string& program, const std::vector<std::uint8_t>& container);

} // namespace faulttrap
