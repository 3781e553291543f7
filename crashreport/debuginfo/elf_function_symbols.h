#pragma once

#include "crashreport/debuginfo/elf_image.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace faulttrap {

struct ElfFunctionSymbol {
    std::uint64_t address = 0; // as the file numbers it
    std::uint64_t size = 0;
    std::string_view name; // points into the file's mapping
    unsigned binding = 0;  // STB_GLOBAL, STB_WEAK, STB_LOCAL
};

// The defined, named function symbols of the file's symbol tables of one type (SHT_SYMTAB or
// SHT_DYNSYM), in the tables' order. Entries whose name lies outside the string table are left
// out.
std::vector<ElfFunctionSymbol> ReadFunctionSymbols(const ElfImage& file, std::uint32_t tableType);

} // namespace faulttrap
