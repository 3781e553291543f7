#pragma once

#include <string>
#include <vector>

// A listing as one text, for failure messages.
inline std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}
