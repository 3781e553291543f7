#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// A module file mapped read-only, with its section table read. Only the pages a reader
// touches are brought in, so reading a small section of a large file costs little; and no
// ELF library has to be loaded into the process to do it.
class ElfImage {
public:
    struct Section {
        std::string_view name;
        std::uint32_t type = 0;
        std::uint64_t flags = 0;
        std::uint32_t link = 0;
        std::uint64_t entrySize = 0;
        std::span<const std::uint8_t> bytes; // empty for a section without file contents
    };

    // A file that cannot be opened, is not a 64-bit ELF file of this machine's byte order or
    // whose section table points outside the file raises DebugDataError.
    explicit ElfImage(const std::string& path);
    ~ElfImage();
    ElfImage(const ElfImage&) = delete;
    ElfImage& operator=(const ElfImage&) = delete;

    const std::vector<Section>& Sections() const { return sections_; }
    const Section* Find(std::string_view name) const;

private:
    void ReadSections(const std::string& path);

    const std::uint8_t* mapping_ = nullptr;
    std::size_t size_ = 0;
    std::vector<Section> sections_;
};

} // namespace faulttrap
