#include "crashreport/debuginfo/dwarf_section.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/zlib_codec.h"

#include <elf.h>

#include <cstring>
#include <string>

namespace faulttrap {

namespace {

// ".debug_line" is stored as ".zdebug_line" in the older form.
std::string OldCompressedName(std::string_view name) {
    return name.starts_with('.') ? ".z" + std::string(name.substr(1)) : std::string();
}

std::vector<std::uint8_t> InflateSection(std::span<const std::uint8_t> stream, std::uint64_t size,
                                         std::string_view name) {
    if (size > maxDwarfSectionSize) {
        throw DebugDataError(std::string(name) + ": states an inflated size of " +
                             std::to_string(size) + " bytes");
    }
    try {
        return ZlibDecompressExact(stream, static_cast<std::size_t>(size));
    } catch (const DebugDataError& error) {
        throw DebugDataError(std::string(name) + ": " + error.what());
    }
}

// SHF_COMPRESSED: an Elf64_Chdr (method, size, alignment), then the stream.
std::vector<std::uint8_t> InflateElfCompressed(std::span<const std::uint8_t> bytes,
                                               std::string_view name) {
    Elf64_Chdr header;
    if (bytes.size() < sizeof header) {
        throw DebugDataError(std::string(name) + ": compressed section without its header");
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.ch_type != ELFCOMPRESS_ZLIB) {
        throw DebugDataError(std::string(name) + ": compressed with method " +
                             std::to_string(header.ch_type) + ", which is not supported");
    }
    return InflateSection(bytes.subspan(sizeof header), header.ch_size, name);
}

// ".zdebug_": "ZLIB", the inflated size as 8 bytes big-endian, then the stream.
std::vector<std::uint8_t> InflateOldCompressed(std::span<const std::uint8_t> bytes,
                                               std::string_view name) {
    constexpr std::size_t headerSize = 12;
    if (bytes.size() < headerSize || std::memcmp(bytes.data(), "ZLIB", 4) != 0) {
        throw DebugDataError(std::string(name) + ": compressed section without its header");
    }
    std::uint64_t size = 0;
    for (std::size_t i = 4; i < headerSize; ++i) {
        size = size << 8 | bytes[i];
    }
    return InflateSection(bytes.subspan(headerSize), size, name);
}

} // namespace

std::optional<DwarfSection> ReadDwarfSection(const ElfImage& file, std::string_view name) {
    if (const ElfImage::Section* section = file.Find(name)) {
        if (section->type == SHT_NOBITS) {
            return std::nullopt;
        }
        if (section->flags & SHF_COMPRESSED) {
            return DwarfSection{InflateElfCompressed(section->bytes, name), true};
        }
        return DwarfSection{{section->bytes.begin(), section->bytes.end()}, false};
    }
    if (const ElfImage::Section* old = file.Find(OldCompressedName(name))) {
        if (old->type != SHT_NOBITS) {
            return DwarfSection{InflateOldCompressed(old->bytes, name), true};
        }
    }
    return std::nullopt;
}

bool HasCompressedDwarfSection(const ElfImage& file, std::string_view name) {
    if (const ElfImage::Section* section = file.Find(name)) {
        return section->type != SHT_NOBITS && (section->flags & SHF_COMPRESSED) != 0;
    }
    const ElfImage::Section* old = file.Find(OldCompressedName(name));
    return old != nullptr && old->type != SHT_NOBITS;
}

} // namespace faulttrap
