#include "crashreport/debuginfo/separate_debug_file.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/local_debuginfo.h"

#include <elf.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace faulttrap {

namespace {

constexpr std::size_t AlignedTo4(std::size_t size) {
    return (size + 3) & ~std::size_t{3};
}

std::span<const std::uint8_t> BuildIdOfNotes(std::span<const std::uint8_t> notes) {
    std::size_t position = 0;
    while (notes.size() - position >= 12) {
        std::uint32_t head[3]; // name size, description size, type
        std::memcpy(head, notes.data() + position, sizeof head);
        position += sizeof head;
        const std::size_t nameSize = AlignedTo4(head[0]);
        const std::size_t descriptionSize = AlignedTo4(head[1]);
        if (nameSize > notes.size() - position ||
            descriptionSize > notes.size() - position - nameSize) {
            return {};
        }
        if (head[2] == NT_GNU_BUILD_ID && head[0] == 4 &&
            std::memcmp(notes.data() + position, "GNU", 4) == 0) {
            return notes.subspan(position + nameSize, head[1]);
        }
        position += nameSize + descriptionSize;
    }
    return {};
}

std::string DebugLinkOf(const ElfImage& module) {
    const ElfImage::Section* link = module.Find(".gnu_debuglink");
    if (link == nullptr || link->bytes.empty()) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(link->bytes.data());
    return std::string(text, strnlen(text, link->bytes.size()));
}

} // namespace

std::span<const std::uint8_t> ElfBuildId(const ElfImage& file) {
    for (const ElfImage::Section& section : file.Sections()) {
        if (section.type == SHT_NOTE) {
            if (const auto id = BuildIdOfNotes(section.bytes); !id.empty()) {
                return id;
            }
        }
    }
    return {};
}

std::string FindSeparateDebugFile(const ElfImage& module, const std::string& modulePath) {
    const std::span<const std::uint8_t> id = ElfBuildId(module);
    const std::string link = DebugLinkOf(module);
    for (const std::string& candidate :
         LocalDebugFileCandidates(id, modulePath, link.empty() ? nullptr : link.c_str())) {
        // Most candidates do not exist: no exception for those, the report path may be
        // watching the program's exceptions.
        if (::access(candidate.c_str(), R_OK) != 0) {
            continue;
        }
        try {
            const ElfImage debugFile(candidate);
            const std::span<const std::uint8_t> candidateId = ElfBuildId(debugFile);
            if (id.empty() || candidateId.empty() ||
                std::equal(id.begin(), id.end(), candidateId.begin(), candidateId.end())) {
                return candidate;
            }
        } catch (const DebugDataError&) {
        }
    }
    return {};
}

} // namespace faulttrap
