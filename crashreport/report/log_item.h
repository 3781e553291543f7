#pragma once

// Builder of the numbered sections of a bug report: headings with a rule, items numbered within
// their section ("  2.7 ID: 1A2B"), every ": " of a section in one column.

#include <string>
#include <string_view>

namespace faulttrap {

class TLogItem {
public:
    // The first heading added gets number firstSection + 1.
    explicit TLogItem(int firstSection);

    void AddHeading(std::string_view text);

    // An item that is not written still takes its number, so numbers never shift.
    void AddItem(std::string_view label, std::string_view value, bool written = true);

    // Every section aligned; a section with no written item is left out whole.
    std::string Format() const;

private:
    int section_;
    int item_ = 0;
    std::string text_;
};

} // namespace faulttrap
