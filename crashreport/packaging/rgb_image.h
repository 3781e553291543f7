#pragma once

#include <cstdint>
#include <vector>

namespace faulttrap {

// A picture as 24-bit pixels: rows top to bottom, each pixel red, green, blue, no row padding.
struct TRgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width x height x 3 bytes

    TRgbImage() = default;
    TRgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}

    std::uint8_t* Pixel(int x, int y) {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
    const std::uint8_t* Pixel(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

} // namespace faulttrap
