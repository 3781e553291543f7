#pragma once

// Finding the numbered items of a stored report: the line "  N.M label: value" and the
// continuation lines of its value.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

struct ItemSpan {
    std::size_t lineStart;  // first character of the item line
    std::size_t valueStart; // first character after the line's first ": "
    std::size_t end;        // the CR LF that ends the item's last line (or the end of the text)
};

std::optional<ItemSpan> FindItem(std::string_view report, std::string_view item);

// The decoded value of `item` in `report`; nothing when the report has no such item.
std::optional<std::string> ReadItemOf(std::string_view report, std::string_view item);

} // namespace faulttrap
