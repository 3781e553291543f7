#pragma once

#include "crashreport/debuginfo/elf_image.h"

#include <cstdint>
#include <span>
#include <string>

namespace faulttrap {

// The file's GNU build ID (its NT_GNU_BUILD_ID note); empty when it has none.
std::span<const std::uint8_t> ElfBuildId(const ElfImage& file);

// The separate debug file of a module on this machine, looked for where
// LocalDebugFileCandidates says; a candidate stating another build ID than the module's is
// passed over. Empty when there is none.
std::string FindSeparateDebugFile(const ElfImage& module, const std::string& modulePath);

} // namespace faulttrap
