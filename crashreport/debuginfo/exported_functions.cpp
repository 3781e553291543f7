#include "debuginfo/exported_functions.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <algorithm>

namespace faulttrap {

namespace {

void readDynamicSymbols(Elf* elf, std::vector<TFaultFunctionsList::Function>& out) {
    for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn; scn = elf_nextscn(elf, scn)) {
        GElf_Shdr header;
        if (!gelf_getshdr(scn, &header) || header.sh_type != SHT_DYNSYM || header.sh_entsize == 0)
            continue;
        Elf_Data* data = elf_getdata(scn, nullptr);
        if (!data)
            continue;
        const std::size_t count = header.sh_size / header.sh_entsize;
        for (std::size_t i = 0; i < count; ++i) {
            GElf_Sym symbol;
            if (!gelf_getsym(data, static_cast<int>(i), &symbol) ||
                GELF_ST_TYPE(symbol.st_info) != STT_FUNC || symbol.st_shndx == SHN_UNDEF)
                continue;
            const char* name = elf_strptr(elf, header.sh_link, symbol.st_name);
            if (name && *name)
                out.push_back({name, symbol.st_value, symbol.st_size});
        }
    }
}

} // namespace

TFaultFunctionsList TFaultFunctionsList::read(const std::string& path, const Sizer& sizeUnsized) {
    TFaultFunctionsList list;
    elf_version(EV_CURRENT);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return list;
    if (Elf* elf = elf_begin(fd, ELF_C_READ_MMAP, nullptr)) {
        if (elf_kind(elf) == ELF_K_ELF)
            readDynamicSymbols(elf, list.functions_);
        elf_end(elf);
    }
    ::close(fd);
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
