#include "crashreport/packaging/octree_quantizer.h"

namespace faulttrap {

TOctreeQuantizer::TOctreeQuantizer() {
    NewNode(0);
}

std::int32_t TOctreeQuantizer::NewNode(int depth) {
    const auto index = static_cast<std::int32_t>(nodes_.size());
    nodes_.emplace_back();
    if (depth == Depth) {
        nodes_.back().leaf = true;
        ++leafCount_;
    } else {
        reducible_[depth].push_back(index);
    }
    return index;
}

void TOctreeQuantizer::AddColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    std::int32_t node = 0;
    for (int depth = 0; !nodes_[node].leaf; ++depth) {
        const int bit = 7 - depth;
        const int child = (red >> bit & 1) << 2 | (green >> bit & 1) << 1 | (blue >> bit & 1);
        if (nodes_[node].children[child] < 0) {
            const std::int32_t created = NewNode(depth + 1);
            nodes_[node].children[child] = created;
        }
        node = nodes_[node].children[child];
    }
    Node& leaf = nodes_[node];
    leaf.red += red;
    leaf.green += green;
    leaf.blue += blue;
    ++leaf.count;
    while (leafCount_ > MaxColours) {
        ReduceOne();
    }
}

void TOctreeQuantizer::AddImage(const TRgbImage& image) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.Pixel(x, y);
            AddColour(p[0], p[1], p[2]);
        }
    }
}

void TOctreeQuantizer::ReduceOne() {
    int level = Depth - 1;
    while (reducible_[level].empty()) {
        --level; // the root stays reducible until it is folded, so a level is always found
    }
    const std::int32_t index = reducible_[level].back();
    reducible_[level].pop_back();
    // Every child is a leaf: a deeper inner node would still be listed as reducible.
    std::size_t children = 0;
    Node merged;
    for (const std::int32_t child : nodes_[index].children) {
        if (child >= 0) {
            merged.red += nodes_[child].red;
            merged.green += nodes_[child].green;
            merged.blue += nodes_[child].blue;
            merged.count += nodes_[child].count;
            ++children;
        }
    }
    merged.leaf = true;
    nodes_[index] = merged;
    leafCount_ = leafCount_ - children + 1;
}

void TOctreeQuantizer::CollectLeaves(std::int32_t node, TPalette& palette,
                                     std::size_t& used) const {
    const Node& n = nodes_[node];
    if (n.leaf) {
        if (n.count > 0 && used < palette.size()) {
            palette[used++] = {static_cast<std::uint8_t>(n.red / n.count),
                               static_cast<std::uint8_t>(n.green / n.count),
                               static_cast<std::uint8_t>(n.blue / n.count)};
        }
        return;
    }
    for (const std::int32_t child : n.children) {
        if (child >= 0) {
            CollectLeaves(child, palette, used);
        }
    }
}

TPalette TOctreeQuantizer::Palette() const {
    TPalette palette{};
    std::size_t used = 0;
    CollectLeaves(0, palette, used);
    return palette;
}

std::uint8_t TNearestColour::IndexOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const std::uint32_t key = static_cast<std::uint32_t>(red) << 16 | green << 8 | blue;
    if (const auto found = known_.find(key); found != known_.end()) {
        return found->second;
    }
    std::size_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const int dr = red - palette_[i].red;
        const int dg = green - palette_[i].green;
        const int db = blue - palette_[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    known_.emplace(key, static_cast<std::uint8_t>(best));
    return static_cast<std::uint8_t>(best);
}

} // namespace faulttrap
