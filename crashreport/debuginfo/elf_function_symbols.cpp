#include "crashreport/debuginfo/elf_function_symbols.h"

#include <elf.h>

#include <cstring>

namespace faulttrap {

std::vector<ElfFunctionSymbol> ReadFunctionSymbols(const ElfImage& file, std::uint32_t tableType) {
    std::vector<ElfFunctionSymbol> functions;
    const auto& sections = file.Sections();
    for (const ElfImage::Section& table : sections) {
        if (table.type != tableType || table.entrySize != sizeof(Elf64_Sym) ||
            table.link >= sections.size() || (table.flags & SHF_COMPRESSED)) {
            continue;
        }
        const std::span<const std::uint8_t> names = sections[table.link].bytes;
        const std::size_t count = table.bytes.size() / sizeof(Elf64_Sym);
        for (std::size_t i = 0; i < count; ++i) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, table.bytes.data() + i * sizeof symbol, sizeof symbol);
            if (ELF64_ST_TYPE(symbol.st_info) != STT_FUNC || symbol.st_shndx == SHN_UNDEF ||
                symbol.st_name >= names.size()) {
                continue;
            }
            const auto* start = reinterpret_cast<const char*>(names.data()) + symbol.st_name;
            const std::string_view name(start, strnlen(start, names.size() - symbol.st_name));
            if (!name.empty() && symbol.st_name + name.size() < names.size()) {
                functions.push_back({symbol.st_value, symbol.st_size, name,
                                     static_cast<unsigned>(ELF64_ST_BIND(symbol.st_info))});
            }
        }
    }
    return functions;
}

} // namespace faulttrap
