#pragma once

// The report of fixed values that the report's own tests check byte for byte.

#include <fstream>
#include <sstream>
#include <string>

namespace faulttrap::testing {

inline std::string FixedReport() {
    std::ifstream file(FIXED_REPORT, std::ios::binary);
    std::ostringstream stored;
    stored << file.rdbuf();
    // The golden file keeps plain line feeds; a report's lines end in CR LF.
    std::string text;
    for (const char c : stored.str()) {
        if (c == '\n') {
            text += '\r';
        }
        text += c;
    }
    return text;
}

inline void ReplaceFirst(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
}

} // namespace faulttrap::testing
