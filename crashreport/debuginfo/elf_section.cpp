#include "debuginfo/elf_section.h"

#include "debuginfo/debug_data_error.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <cstring>

namespace faulttrap {

namespace {

class ElfFile {
public:
    explicit ElfFile(const std::string& path) {
        elf_version(EV_CURRENT);
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            throw DebugDataError(path + ": " + std::strerror(errno));
        elf_ = elf_begin(fd_, ELF_C_READ_MMAP, nullptr);
        if (!elf_ || elf_kind(elf_) != ELF_K_ELF)
            throw DebugDataError(path + ": not an ELF file");
    }
    ~ElfFile() {
        if (elf_)
            elf_end(elf_);
        if (fd_ >= 0)
            ::close(fd_);
    }
    ElfFile(const ElfFile&) = delete;
    ElfFile& operator=(const ElfFile&) = delete;
    Elf* get() const { return elf_; }

private:
    int fd_ = -1;
    Elf* elf_ = nullptr;
};

} // namespace

std::optional<std::vector<std::uint8_t>> readElfSection(const std::string& path,
                                                        const std::string& section) {
    const ElfFile file(path);
    std::size_t namesIndex = 0;
    if (elf_getshdrstrndx(file.get(), &namesIndex) != 0)
        throw DebugDataError(path + ": damaged ELF section table");
    for (Elf_Scn* scn = elf_nextscn(file.get(), nullptr); scn; scn = elf_nextscn(file.get(), scn)) {
        GElf_Shdr header;
        if (!gelf_getshdr(scn, &header))
            continue;
        const char* name = elf_strptr(file.get(), namesIndex, header.sh_name);
        if (!name || section != name)
            continue;
        Elf_Data* data = elf_rawdata(scn, nullptr);
        if (!data || !data->d_buf)
            throw DebugDataError(path + ": section " + section + " cannot be read");
        const auto* bytes = static_cast<const std::uint8_t*>(data->d_buf);
        return std::vector<std::uint8_t>(bytes, bytes + data->d_size);
    }
    return std::nullopt;
}

} // namespace faulttrap
