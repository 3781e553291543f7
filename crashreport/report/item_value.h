#pragma once

// How a value of a numbered report item is stored and read back. A value of several lines keeps
// its continuation lines under the value's first column, and must not look like another item:
// its ": " become ":_" and its empty lines become ".".

#include <cstddef>
#include <string>
#include <string_view>

namespace faulttrap {

// The value as an item line carries it before alignment: continuation lines start with one blank.
std::string EncodeItemValue(std::string_view value);

// The value as it stands in a formatted report whose values start at `column` (0-based).
std::string IndentItemValue(std::string_view value, std::size_t column);

// The value given to an item, from the stored text that follows the item's ": ".
std::string DecodeItemValue(std::string_view stored);

} // namespace faulttrap
