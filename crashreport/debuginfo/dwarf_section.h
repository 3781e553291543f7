#pragma once

#include "crashreport/debuginfo/elf_image.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace faulttrap {

// One DWARF section of a file, as its readers need it: inflated when the file stores it
// compressed (an SHF_COMPRESSED section with zlib, or the older ".zdebug_" form), a copy
// otherwise. Only this section is inflated, whatever else the file compresses.
struct DwarfSection {
    std::vector<std::uint8_t> bytes;
    bool wasCompressed = false;
};

// The upper bound of an inflated section: a header stating more is taken as damaged.
inline constexpr std::size_t maxDwarfSectionSize = std::size_t{1} << 30;

// `name` is the section's standard name (".debug_line"). nullopt when the file has no such
// section; a compressed form that is damaged or uses an unknown method raises DebugDataError.
std::optional<DwarfSection> ReadDwarfSection(const ElfImage& file, std::string_view name);

// Whether the file has the section in a compressed form, without inflating it.
bool HasCompressedDwarfSection(const ElfImage& file, std::string_view name);

} // namespace faulttrap
