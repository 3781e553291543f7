#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// One tag of a page: its text from after the opening text to its end marker, and where the
// search for the next one goes on.
struct THTMLTag {
    std::string_view text;
    std::size_t next = 0;
};

// How a tag ends. A marker that is not `consumed` belongs to what follows (an option that ends
// where the next one begins).
struct TTagEnd {
    std::string_view marker;
    bool consumed = true;
};

// The first tag opened by `opening` (ignoring case) at or after `from`. Its text runs to the
// first of `ends` (ignoring case) that is not inside quotes within a tag, or to the end of
// `page`.
std::optional<THTMLTag> FindTag(std::string_view page, std::size_t from, std::string_view opening,
                                std::initializer_list<TTagEnd> ends);

// A tag's text split at its first ">" outside quotes: the attributes (trimmed, without a final
// "/", and without the spaces around each "=" outside quotes) and the content after the ">".
struct TTagParts {
    std::string attributes;
    std::string_view content;
};
TTagParts SplitTag(std::string_view text);

// The value of attribute `name` in `attributes` (as SplitTag leaves them), decoded, without one
// leading and one trailing quote; nullopt when it is not there.
std::optional<std::string> AttributeValue(std::string_view attributes, std::string_view name);

// Whether `attributes` carry the bare word `word` (ignoring case) outside quotes.
bool HasAttributeWord(std::string_view attributes, std::string_view word);

} // namespace faulttrap
