#include "debuginfo/exported_functions.h"

#include "debuginfo/debug_data_error.h"
#include "debuginfo/elf_image.h"

#include <elf.h>

#include <algorithm>
#include <cstring>

namespace faulttrap {

namespace {

void readDynamicSymbols(const ElfImage& file, std::vector<TFaultFunctionsList::Function>& out) {
    const auto& sections = file.sections();
    for (const ElfImage::Section& table : sections) {
        if (table.type != SHT_DYNSYM || table.entrySize != sizeof(Elf64_Sym) ||
            table.link >= sections.size())
            continue;
        const std::span<const std::uint8_t> names = sections[table.link].bytes;
        const std::size_t count = table.bytes.size() / sizeof(Elf64_Sym);
        for (std::size_t i = 0; i < count; ++i) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, table.bytes.data() + i * sizeof symbol, sizeof symbol);
            if (ELF64_ST_TYPE(symbol.st_info) != STT_FUNC || symbol.st_shndx == SHN_UNDEF ||
                symbol.st_name >= names.size())
                continue;
            const auto* start = reinterpret_cast<const char*>(names.data()) + symbol.st_name;
            const std::string_view name(start, strnlen(start, names.size() - symbol.st_name));
            if (!name.empty() && symbol.st_name + name.size() < names.size())
                out.push_back({std::string(name), symbol.st_value, symbol.st_size});
        }
    }
}

} // namespace

TFaultFunctionsList TFaultFunctionsList::read(const std::string& path, const Sizer& sizeUnsized) {
    TFaultFunctionsList list;
    try {
        readDynamicSymbols(ElfImage(path), list.functions_);
    } catch (const DebugDataError&) {
        return list;
    }
    if (sizeUnsized)
        for (Function& function : list.functions_)
            if (function.size == 0)
                function.size = sizeUnsized(function.address);
    std::sort(list.functions_.begin(), list.functions_.end(),
              [](const Function& a, const Function& b) { return a.address < b.address; });
    return list;
}

const TFaultFunctionsList::Function* TFaultFunctionsList::find(std::uint64_t fileAddress) const {
    auto after =
        std::upper_bound(functions_.begin(), functions_.end(), fileAddress,
                         [](std::uint64_t value, const Function& f) { return value < f.address; });
    if (after == functions_.begin())
        return nullptr;
    const Function& found = *std::prev(after);
    return fileAddress <= found.address + found.size ? &found : nullptr;
}

} // namespace faulttrap
