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

// The item number of a line that begins like an item line: two blanks, the item number "N.M"
// and a blank ("2.6"); empty for any other line. Continuation lines of a value start with three
// blanks, so no value can look like an item.
std::string_view ItemNumberOf(std::string_view line);

// Where the value of an item line starts: after its first ": ", or at its end when it ends in
// ":" (an empty value). Nothing for a line that is no item line.
std::optional<std::size_t> ValueStartOf(std::string_view line);

// A continuation line of a value: it begins with three blanks.
bool IsContinuationLine(std::string_view line);

std::optional<ItemSpan> FindItem(std::string_view report, std::string_view item);

// The decoded value of `item` in `report`; nothing when the report has no such item.
std::optional<std::string> ReadItemOf(std::string_view report, std::string_view item);

} // namespace faulttrap
