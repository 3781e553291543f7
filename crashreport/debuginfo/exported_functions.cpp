#include "crashreport/debuginfo/exported_functions.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/elf_function_symbols.h"
#include "crashreport/debuginfo/elf_image.h"

#include <elf.h>

#include <algorithm>

namespace faulttrap {

namespace {

void ReadDynamicSymbols(const ElfImage& file, std::vector<TFaultFunctionsList::Function>& out) {
    for (const ElfFunctionSymbol& symbol : ReadFunctionSymbols(file, SHT_DYNSYM)) {
        out.push_back({std::string(symbol.name), symbol.address, symbol.size});
    }
}

} // namespace

TFaultFunctionsList TFaultFunctionsList::Read(const std::string& path, const Sizer& sizeUnsized) {
    TFaultFunctionsList list;
    try {
        ReadDynamicSymbols(ElfImage(path), list.functions_);
    } catch (const DebugDataError&) {
        return list;
    }
    if (sizeUnsized) {
        for (Function& function : list.functions_) {
            if (function.size == 0) {
                function.size = sizeUnsized(function.address);
            }
        }
    }
    std::sort(list.functions_.begin(), list.functions_.end(),
              [](const Function& a, const Function& b) { return a.address < b.address; });
    return list;
}

const TFaultFunctionsList::Function* TFaultFunctionsList::Find(std::uint64_t fileAddress) const {
    auto after =
        std::upper_bound(functions_.begin(), functions_.end(), fileAddress,
                         [](std::uint64_t value, const Function& f) { return value < f.address; });
    if (after == functions_.begin()) {
        return nullptr;
    }
    const Function& found = *std::prev(after);
    return fileAddress <= found.address + found.size ? &found : nullptr;
}

} // namespace faulttrap
