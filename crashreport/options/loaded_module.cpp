#include "crashreport/options/loaded_module.h"

#include <link.h>

#include <algorithm>
#include <filesystem>
#include <limits>

namespace faulttrap {

namespace {

struct Search {
    std::uintptr_t address = 0;
    TLoadedModule found;
};

// Where the module's file is mapped from its first byte on.
std::uintptr_t MappedStart(const dl_phdr_info* info) {
    std::uintptr_t lowest = std::numeric_limits<std::uintptr_t>::max();
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD) {
            lowest = std::min(lowest, info->dlpi_addr + segment.p_vaddr - segment.p_offset);
        }
    }
    return lowest;
}

bool Contains(const dl_phdr_info* info, std::uintptr_t address) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && address >= start && address < start + segment.p_memsz) {
            return true;
        }
    }
    return false;
}

int InspectModule(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    if (!Contains(info, search->address)) {
        return 0;
    }
    const std::uintptr_t lowest = MappedStart(info);
    // The program itself is listed without a name.
    const char* name = info->dlpi_name;
    const std::string path = name != nullptr && name[0] != '\0' ? name : "/proc/self/exe";
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(path, error);
    search->found = TLoadedModule{error ? path : canonical.string(), lowest};
    return 1;
}

TLoadedModule FindSubsystemModule() {
    Search search;
    search.address = reinterpret_cast<std::uintptr_t>(&InspectModule);
    dl_iterate_phdr(&InspectModule, &search);
    return search.found;
}

} // namespace

std::optional<TLoadedModule> ModuleAt(std::uintptr_t address) {
    Search search;
    search.address = address;
    if (address == 0 || dl_iterate_phdr(&InspectModule, &search) == 0) {
        return std::nullopt;
    }
    return search.found;
}

const TLoadedModule& SubsystemModule() {
    static const TLoadedModule module = FindSubsystemModule();
    return module;
}

std::uintptr_t ProgramHandle() {
    std::uintptr_t handle = 0;
    // The program is the first module listed.
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            *static_cast<std::uintptr_t*>(data) = MappedStart(info);
            return 1;
        },
        &handle);
    return handle;
}

bool NamesSubsystemModule(const std::string& fileName) {
    if (fileName.empty()) {
        return false;
    }
    std::error_code error;
    const bool same = std::filesystem::equivalent(fileName, SubsystemModule().Path, error);
    return !error && same;
}

} // namespace faulttrap
