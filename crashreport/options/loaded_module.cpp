#include "loaded_module.h"

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

int InspectModule(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    std::uintptr_t lowest = std::numeric_limits<std::uintptr_t>::max();
    bool contains = false;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) {
            continue;
        }
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        lowest = std::min(lowest, start - segment.p_offset);
        contains =
            contains || (search->address >= start && search->address < start + segment.p_memsz);
    }
    if (!contains) {
        return 0;
    }
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

const TLoadedModule& SubsystemModule() {
    static const TLoadedModule module = FindSubsystemModule();
    return module;
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
