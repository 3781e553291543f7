#include "crashreport/debuginfo/module_list.h"

#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

namespace faulttrap {

bool TFaultModuleInfo::Contains(std::uintptr_t address) const {
    return std::any_of(segments.begin(), segments.end(), [address](const Segment& s) {
        return address >= s.begin && address < s.end;
    });
}

bool TFaultModuleInfo::ContainsCode(std::uintptr_t address) const {
    return std::any_of(segments.begin(), segments.end(), [address](const Segment& s) {
        return s.executable && address >= s.begin && address < s.end;
    });
}

namespace {

std::string ProgramPath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

int AddModule(dl_phdr_info* info, std::size_t, void* context) {
    auto module = std::make_unique<TFaultModuleInfo>();
    module->base = info->dlpi_addr;
    module->isMainProgram = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
    module->path = module->isMainProgram ? ProgramPath() : info->dlpi_name;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD) {
            module->segments.push_back({info->dlpi_addr + header.p_vaddr,
                                        info->dlpi_addr + header.p_vaddr + header.p_memsz,
                                        (header.p_flags & PF_X) != 0});
        }
    }
    struct stat status {};
    if (!module->path.empty() && ::stat(module->path.c_str(), &status) == 0) {
        module->hasFile = true;
        module->fileSize = static_cast<std::uint64_t>(status.st_size);
        module->modified = status.st_mtime;
    }
    if (!module->segments.empty()) {
        static_cast<std::vector<std::unique_ptr<TFaultModuleInfo>>*>(context)->push_back(
            std::move(module));
    }
    return 0;
}

} // namespace

TFaultModulesList TFaultModulesList::Current() {
    TFaultModulesList list;
    dl_iterate_phdr(AddModule, &list.modules_);
    return list;
}

const TFaultModuleInfo* TFaultModulesList::Find(std::uintptr_t address) const {
    for (const auto& module : modules_) {
        if (module->Contains(address)) {
            return module.get();
        }
    }
    return nullptr;
}

bool TFaultModulesList::IsCode(std::uintptr_t address) const {
    return std::any_of(modules_.begin(), modules_.end(),
                       [address](const auto& module) { return module->ContainsCode(address); });
}

} // namespace faulttrap
