#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

inline constexpr const char* subsystemDataSection = ".ftdata";

// Writes the container into the program as its section ".ftdata", and the version, when given,
// as its section ".ftversion" (replacing earlier ones) with the binary utilities' objcopy.
// Failures raise std::runtime_error.
void EmbedSection(const std::string& program, const std::vector<std::uint8_t>& container,
                  const std::optional<std::string>& version = std::nullopt);

} // namespace faulttrap
