#include "crashreport/trackers/html_tag.h"

#include "crashreport/trackers/character_references.h"

#include "crashreport/options/text_case.h"
#include "crashreport/text/strings.h"

namespace faulttrap {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool StartsAt(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.size() - at >= prefix.size() &&
           EqualsIgnoringCase(text.substr(at, prefix.size()), prefix);
}

// Whether `at` begins a word of `text`: the start, or after a blank or a closing quote.
bool WordStartsAt(std::string_view text, std::size_t at) {
    return at == 0 || IsBlank(text[at - 1]) || IsQuote(text[at - 1]);
}

// The end of an attribute value starting at `begin`: the first blank, ">" or "/>" outside
// quotes.
std::size_t ValueEnd(std::string_view attributes, std::size_t begin) {
    char quote = 0;
    for (std::size_t at = begin; at < attributes.size(); ++at) {
        const char c = attributes[at];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (IsQuote(c)) {
            quote = c;
        } else if (IsBlank(c) || c == '>' || attributes.substr(at, 2) == "/>") {
            return at;
        }
    }
    return attributes.size();
}

// Calls `visit` with every position of `text` outside quotes until it returns true.
template <class Visit> std::size_t FirstOutsideQuotes(std::string_view text, Visit visit) {
    char quote = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (IsQuote(c)) {
            quote = c;
        } else if (visit(at)) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::optional<THTMLTag> FindTag(std::string_view page, std::size_t from, std::string_view opening,
                                std::initializer_list<TTagEnd> ends) {
    const std::size_t open = FindIgnoringCase(page, opening, from);
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t start = open + opening.size();
    bool inTag = true;
    char quote = 0;
    for (std::size_t at = start; at < page.size(); ++at) {
        if (quote == 0) {
            for (const TTagEnd& end : ends) {
                if (StartsAt(page, at, end.marker)) {
                    return THTMLTag{page.substr(start, at - start),
                                    at + (end.consumed ? end.marker.size() : 0)};
                }
            }
        }
        const char c = page[at];
        if (!inTag) {
            inTag = c == '<';
        } else if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == '>') {
            inTag = false;
        }
    }
    return THTMLTag{page.substr(start), page.size()};
}

TTagParts SplitTag(std::string_view text) {
    const std::size_t close =
        FirstOutsideQuotes(text, [&](std::size_t at) { return text[at] == '>'; });
    std::string_view head = TrimmedView(text.substr(0, close));
    if (head.ends_with('/')) {
        head.remove_suffix(1);
    }
    TTagParts parts;
    parts.content = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    char quote = 0;
    for (std::size_t at = 0; at < head.size(); ++at) {
        const char c = head[at];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == '=') {
            while (!parts.attributes.empty() && parts.attributes.back() == ' ') {
                parts.attributes.pop_back();
            }
            while (at + 1 < head.size() && head[at + 1] == ' ') {
                ++at;
            }
        }
        parts.attributes += c;
    }
    return parts;
}

std::optional<std::string> AttributeValue(std::string_view attributes, std::string_view name) {
    const std::size_t found = FirstOutsideQuotes(attributes, [&](std::size_t at) {
        return WordStartsAt(attributes, at) && StartsAt(attributes, at, name) &&
               attributes.substr(at + name.size(), 1) == "=";
    });
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t begin = found + name.size() + 1;
    std::string_view value = attributes.substr(begin, ValueEnd(attributes, begin) - begin);
    if (!value.empty() && IsQuote(value.front())) {
        value.remove_prefix(1);
    }
    if (!value.empty() && IsQuote(value.back())) {
        value.remove_suffix(1);
    }
    return DecodeCharacterReferences(std::string(value));
}

bool HasAttributeWord(std::string_view attributes, std::string_view word) {
    return FirstOutsideQuotes(attributes, [&](std::size_t at) {
               if (!WordStartsAt(attributes, at) || !StartsAt(attributes, at, word)) {
                   return false;
               }
               const std::size_t after = at + word.size();
               return after == attributes.size() || IsBlank(attributes[after]) ||
                      attributes[after] == '=' || attributes[after] == '/';
           }) != std::string_view::npos;
}

} // namespace faulttrap
