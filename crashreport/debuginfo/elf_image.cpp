#include "crashreport/debuginfo/elf_image.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstring>

namespace faulttrap {

namespace {

template <typename T> T ReadAt(std::span<const std::uint8_t> file, std::uint64_t offset) {
    T value;
    std::memcpy(&value, file.data() + offset, sizeof value);
    return value;
}

bool Fits(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

bool IsNativeElf64(std::span<const std::uint8_t> file) {
    constexpr unsigned char nativeOrder =
        std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    return file.size() >= sizeof(Elf64_Ehdr) && std::memcmp(file.data(), ELFMAG, SELFMAG) == 0 &&
           file[EI_CLASS] == ELFCLASS64 && file[EI_DATA] == nativeOrder;
}

} // namespace

ElfImage::ElfImage(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw DebugDataError(path + ": " + std::strerror(errno));
    }
    struct stat status {};
    void* mapped = MAP_FAILED;
    if (::fstat(fd, &status) == 0 && status.st_size > 0) {
        mapped = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE,
                        fd, 0);
    }
    ::close(fd);
    if (mapped == MAP_FAILED) {
        throw DebugDataError(path + ": not an ELF file");
    }
    mapping_ = static_cast<const std::uint8_t*>(mapped);
    size_ = static_cast<std::size_t>(status.st_size);
    try {
        ReadSections(path);
    } catch (...) {
        ::munmap(const_cast<std::uint8_t*>(mapping_), size_);
        throw;
    }
}

ElfImage::~ElfImage() {
    ::munmap(const_cast<std::uint8_t*>(mapping_), size_);
}

void ElfImage::ReadSections(const std::string& path) {
    const std::span<const std::uint8_t> file(mapping_, size_);
    if (!IsNativeElf64(file)) {
        throw DebugDataError(path + ": not an ELF file");
    }
    const auto header = ReadAt<Elf64_Ehdr>(file, 0);
    if (header.e_shoff == 0) {
        return;
    }
    if (header.e_shentsize != sizeof(Elf64_Shdr) ||
        !Fits(header.e_shoff, sizeof(Elf64_Shdr), size_)) {
        throw DebugDataError(path + ": damaged ELF section table");
    }
    // Files with many sections keep the count and the names' index in the first entry.
    const auto first = ReadAt<Elf64_Shdr>(file, header.e_shoff);
    const std::uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
    const std::uint32_t namesIndex =
        header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first.sh_link;
    if (count > (size_ - header.e_shoff) / sizeof(Elf64_Shdr) || namesIndex >= count) {
        throw DebugDataError(path + ": damaged ELF section table");
    }

    std::vector<Elf64_Shdr> headers(count);
    std::memcpy(headers.data(), file.data() + header.e_shoff, count * sizeof(Elf64_Shdr));
    for (const Elf64_Shdr& section : headers) {
        if (section.sh_type != SHT_NOBITS && !Fits(section.sh_offset, section.sh_size, size_)) {
            throw DebugDataError(path + ": damaged ELF section table");
        }
    }
    const Elf64_Shdr& names = headers[namesIndex];
    if (names.sh_type == SHT_NOBITS) {
        throw DebugDataError(path + ": damaged ELF section table");
    }
    const std::string_view nameTable(reinterpret_cast<const char*>(file.data() + names.sh_offset),
                                     names.sh_size);

    sections_.reserve(count);
    for (const Elf64_Shdr& section : headers) {
        Section entry;
        if (section.sh_name < nameTable.size()) {
            const std::string_view rest = nameTable.substr(section.sh_name);
            entry.name = rest.substr(0, rest.find('\0'));
        }
        entry.type = section.sh_type;
        entry.flags = section.sh_flags;
        entry.link = section.sh_link;
        entry.entrySize = section.sh_entsize;
        if (section.sh_type != SHT_NOBITS) {
            entry.bytes = file.subspan(section.sh_offset, section.sh_size);
        }
        sections_.push_back(entry);
    }
}

const ElfImage::Section* ElfImage::Find(std::string_view name) const {
    for (const Section& section : sections_) {
        if (section.name == name) {
            return &section;
        }
    }
    return nullptr;
}

} // namespace faulttrap
