#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

// "0F 1E FA" as bytes.
inline std::vector<std::uint8_t> BytesFromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return bytes;
}
