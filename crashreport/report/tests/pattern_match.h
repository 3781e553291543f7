#pragma once

// Matches a text line by line against a pattern file: every pattern line is a regular expression
// for one whole line; a pattern ending in " {+}" matches one or more lines, " {*}" zero or more.

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace faulttrap::testing {

inline std::vector<std::string> Lines(const std::string& text, const std::string& separator) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size()) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

// An empty result when the text matches; else what did not.
inline std::string Mismatch(const std::string& text, const std::string& patternText) {
    const auto lines = Lines(text, "\r\n");
    const auto patterns = Lines(patternText, "\n");
    std::size_t at = 0;
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        std::string pattern = patterns[p];
        std::size_t least = 1;
        bool repeated = false;
        for (const auto& [suffix, minimum] : {std::pair{" {+}", 1u}, std::pair{" {*}", 0u}}) {
            if (pattern.size() > 4 && pattern.compare(pattern.size() - 4, 4, suffix) == 0) {
                pattern.resize(pattern.size() - 4);
                least = minimum;
                repeated = true;
            }
        }
        const std::regex expression(pattern);
        std::size_t matched = 0;
        while (at < lines.size() && std::regex_match(lines[at], expression) &&
               (repeated || matched == 0)) {
            ++at;
            ++matched;
        }
        if (matched < least) {
            std::ostringstream message;
            message << "pattern line " << p + 1 << " /" << pattern << "/ does not match text line "
                    << at + 1 << ": \"" << (at < lines.size() ? lines[at] : "<end>") << "\"";
            return message.str();
        }
    }
    if (at != lines.size()) {
        return "text goes on after the pattern at line " + std::to_string(at + 1) + ": \"" +
               lines[at] + "\"";
    }
    return {};
}

} // namespace faulttrap::testing
