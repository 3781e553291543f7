#include "crashreport/intercept/module_entries.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/elf_function_symbols.h"
#include "crashreport/debuginfo/elf_image.h"

#include <elf.h>
#include <link.h>

#include <filesystem>
#include <optional>

namespace faulttrap {

namespace {

struct BiasSearch {
    const std::string* path = nullptr;
    std::optional<std::uintptr_t> bias;
};

int InspectModule(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<BiasSearch*>(data);
    // The program itself is listed without a name.
    const char* name = info->dlpi_name != nullptr && info->dlpi_name[0] != '\0' ? info->dlpi_name
                                                                                : "/proc/self/exe";
    std::error_code error;
    if (!std::filesystem::equivalent(name, *search->path, error) || error) {
        return 0;
    }
    search->bias = info->dlpi_addr;
    return 1;
}

} // namespace

TModuleEntries::TModuleEntries(const std::string& modulePath) {
    BiasSearch search{&modulePath, std::nullopt};
    dl_iterate_phdr(&InspectModule, &search);
    if (!search.bias) {
        return;
    }
    try {
        const ElfImage file(modulePath);
        for (const ElfFunctionSymbol& symbol : ReadFunctionSymbols(file, SHT_DYNSYM)) {
            if (symbol.binding != STB_LOCAL) {
                functions_.emplace_back(std::string(symbol.name), symbol.address);
            }
        }
    } catch (const DebugDataError&) {
        functions_.clear();
        return;
    }
    loadBias_ = *search.bias;
}

void* TModuleEntries::Find(std::string_view name) const {
    for (const auto& [function, address] : functions_) {
        if (function == name) {
            return reinterpret_cast<void*>(loadBias_ + address);
        }
    }
    return nullptr;
}

} // namespace faulttrap
