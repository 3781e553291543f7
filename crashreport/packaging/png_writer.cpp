#include "crashreport/packaging/png_writer.h"

#include "crashreport/packaging/octree_quantizer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace faulttrap {
namespace {

void AppendBigEndian32(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value >> 24);
    out += static_cast<char>(value >> 16);
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out += type;
    out += data;
    const auto* checked = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    AppendBigEndian32(out, static_cast<std::uint32_t>(
                               crc32(0, checked, static_cast<uInt>(type.size() + data.size()))));
}

std::string Deflate(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(size);
    return packed;
}

// Rows top to bottom, each a filter byte 0 and one palette index per pixel.
std::string IndexedRows(const TRgbImage& image, const TPalette& palette) {
    TNearestColour nearest(palette);
    std::string rows;
    rows.reserve(static_cast<std::size_t>(image.width + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        rows += '\0';
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.Pixel(x, y);
            rows += static_cast<char>(nearest.IndexOf(p[0], p[1], p[2]));
        }
    }
    return rows;
}

} // namespace

std::string EncodePng(const TRgbImage& image) {
    if (image.width <= 0 || image.height <= 0) {
        return {};
    }
    TOctreeQuantizer quantizer;
    quantizer.AddImage(image);
    const TPalette palette = quantizer.Palette();
    const std::string compressed = Deflate(IndexedRows(image, palette));
    if (compressed.empty()) {
        return {};
    }

    std::string png("\211PNG\r\n\032\n", 8);
    std::string header;
    AppendBigEndian32(header, static_cast<std::uint32_t>(image.width));
    AppendBigEndian32(header, static_cast<std::uint32_t>(image.height));
    header +=
        std::string("\x08\x03\x00\x00\x00", 5); // depth 8, indexed, deflate, filter 0, no interlace
    AppendChunk(png, "IHDR", header);
    std::string entries;
    for (const TPaletteEntry& entry : palette) {
        entries += static_cast<char>(entry.red);
        entries += static_cast<char>(entry.green);
        entries += static_cast<char>(entry.blue);
    }
    AppendChunk(png, "PLTE", entries);
    for (std::size_t at = 0; at < compressed.size(); at += PngMaxIdatBytes) {
        const std::size_t size = std::min(PngMaxIdatBytes, compressed.size() - at);
        AppendChunk(png, "IDAT", std::string_view(compressed).substr(at, size));
    }
    AppendChunk(png, "IEND", {});
    return png;
}

bool WritePngFile(const std::string& path, const TRgbImage& image) {
    if (path.empty()) {
        return false;
    }
    const std::string png = EncodePng(image);
    if (png.empty()) {
        return false;
    }
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (file.write(png.data(), static_cast<std::streamsize>(png.size())) && file.flush()) {
            return true;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}

} // namespace faulttrap
