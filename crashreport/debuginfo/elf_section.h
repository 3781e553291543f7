#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

// The bytes of the named section of an ELF file; nullopt when the file has no such
// section. A file that cannot be opened or is not ELF raises DebugDataError.
std::optional<std::vector<std::uint8_t>> ReadElfSection(const std::string& path,
                                                        const std::string& section);

} // namespace faulttrap
