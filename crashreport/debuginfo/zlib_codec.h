#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace faulttrap {

// zlib-format (RFC 1950) compression at the best level.
std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data);

// Inflates a zlib-format stream. A damaged or incomplete stream, trailing bytes, or an
// output larger than maxOutput raise DebugDataError: the data is then unusable.
std::vector<std::uint8_t> ZlibDecompress(std::span<const std::uint8_t> data, std::size_t maxOutput);

// Inflates a zlib-format stream whose content is known to be `length` bytes long (a compressed
// ELF section states it). A damaged stream, or content shorter or longer than that, raises
// DebugDataError; bytes after the stream's end are left unread (a section may be padded).
std::vector<std::uint8_t> ZlibDecompressExact(std::span<const std::uint8_t> data,
                                              std::size_t length);

// Inflates a zlib-format stream whose content is a 32-bit little-endian length L followed by
// L bytes, and gives those bytes: inflated straight into a buffer of their size, which saves
// the growing and copying of a large block. Besides what zlibDecompress refuses, a length
// above maxOutput and a content shorter or longer than its length raise DebugDataError.
std::vector<std::uint8_t> ZlibDecompressCounted(std::span<const std::uint8_t> data,
                                                std::size_t maxOutput);

} // namespace faulttrap
