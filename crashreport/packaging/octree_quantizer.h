#pragma once

#include "crashreport/packaging/rgb_image.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace faulttrap {

struct TPaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

using TPalette = std::array<TPaletteEntry, 256>;

// Colour reduction to at most 256 colours with an octree of depth 8. At depth d the child index
// is made of bit 7 - d of red, green and blue (red most significant); a depth-8 node is a leaf
// that counts pixels and sums their channels. Whenever the leaves exceed 256, the deepest level
// with reducible nodes folds its most recently added one into a leaf.
class TOctreeQuantizer {
public:
    static constexpr std::size_t MaxColours = 256;

    TOctreeQuantizer();

    void AddColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    void AddImage(const TRgbImage& image);
    std::size_t LeafCount() const { return leafCount_; }
    // The leaves' average colours in tree order, the remaining entries black.
    TPalette Palette() const;

private:
    static constexpr int Depth = 8;
    struct Node {
        std::uint64_t red = 0, green = 0, blue = 0, count = 0;
        std::array<std::int32_t, 8> children;
        bool leaf = false;
        Node() { children.fill(-1); }
    };

    std::int32_t NewNode(int depth);
    void ReduceOne();
    void CollectLeaves(std::int32_t node, TPalette& palette, std::size_t& used) const;

    std::vector<Node> nodes_;
    std::array<std::vector<std::int32_t>, Depth> reducible_;
    std::size_t leafCount_ = 0;
};

// Maps each colour to the index of the nearest palette entry (squared distance), remembering
// the answers, since a screen holds few distinct colours.
class TNearestColour {
public:
    explicit TNearestColour(const TPalette& palette) : palette_(palette) {}
    std::uint8_t IndexOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

private:
    const TPalette& palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> known_;
};

} // namespace faulttrap
