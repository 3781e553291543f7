#pragma once

#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/name_cipher.h"

#include <string>
#include <string_view>

namespace faulttrap {

// A name field is a length byte and that many enciphered bytes; bit 7 of the length byte
// says that another field follows, the two joining with ".". So one field holds at most
// 127 bytes, and longer names are cut into pieces at their dots.
inline constexpr std::size_t maxNameFieldBytes = 127;

enum class NameRole { unit, procedure };

// How stored names are turned back into text.
struct NameDecoding {
    const NameCipher* cipher = nullptr;
    bool passwordValid = false;
    bool continuation = true; // the continuation bit exists from format version 502
};

// Writes the name as one field, or as several joined at dots when it is longer than
// maxNameFieldBytes; a dot-free piece longer than that is cut to maxNameFieldBytes.
void WriteNameField(ByteWriter& out, std::string_view name, const NameCipher& cipher);

// Reads a name and its continuations. Without a valid password each piece reads as "?"
// and the Base64 form of its stored bytes, with "p" after the "?" for a unit name.
std::string ReadNameField(ByteReader& in, const NameDecoding& decoding, NameRole role);

// Passes over a name and its continuations without deciphering them.
void SkipNameField(ByteReader& in, const NameDecoding& decoding);

} // namespace faulttrap
