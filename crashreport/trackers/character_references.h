#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// Decodes the character references of a text read from a tracker's page: first the named ones
// the trackers use, each replaced everywhere in a fixed order by its Windows-1252 character
// ("&nbsp;" by a plain space), so that "&amp;lt;" ends as "<"; then every "&#" decimal number
// ";" by the byte of the number's low 8 bits. A "&#" without a number and ";" stays.
std::string DecodeCharacterReferences(std::string text);

// Whether a reference that DecodeCharacterReferences decodes starts at `at` of `text`.
bool IsKnownReferenceAt(std::string_view text, std::size_t at);

} // namespace faulttrap
