#include "crashreport/debuginfo/elf_section.h"

#include "crashreport/debuginfo/elf_image.h"

namespace faulttrap {

std::optional<std::vector<std::uint8_t>> ReadElfSection(const std::string& path,
                                                        const std::string& section) {
    const ElfImage file(path);
    const ElfImage::Section* found = file.Find(section);
    if (!found) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(found->bytes.begin(), found->bytes.end());
}

} // namespace faulttrap
