#pragma once

#include "crashreport/packaging/rgb_image.h"

#include <cstddef>
#include <string>

namespace faulttrap {

// Compressed image data per IDAT chunk at most.
inline constexpr std::size_t PngMaxIdatBytes = 0x3FFFF;

// The picture as an 8-bit indexed PNG: signature, IHDR, a PLTE of 256 entries from the octree
// quantisation, the zlib stream (level 9) in IDAT chunks of at most PngMaxIdatBytes, IEND.
// An empty picture (no pixels) gives an empty result.
std::string EncodePng(const TRgbImage& image);
// EncodePng into the file; nothing happens for an empty path. A failure to save is swallowed:
// the file is then absent (a half-written file is removed). Returns whether the file was written.
bool WritePngFile(const std::string& path, const TRgbImage& image);

} // namespace faulttrap
