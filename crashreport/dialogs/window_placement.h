#pragma once

// Where the detailed dialog goes when it enters detailed mode: the stored size and position,
// kept inside the work area of its monitor.

#include <QRect>

#include <optional>

namespace faulttrap {

struct StoredPlacement {
    int width = 745;
    int height = 468; // without the check-box band
    std::optional<int> left;
    std::optional<int> top;
    int windowState = 1; // 1 normal, 3 maximized, 6 minimized
};

// The outer rectangle, `band` pixels taller than the stored height, always inside the work area.
// A missing position centres the window; one that runs past the right or bottom edge moves back
// inside; a size larger than the work area shrinks to it.
QRect PlaceInWorkArea(const QRect& workArea, const StoredPlacement& stored, int band);

class StateFile;
// `defaultWidth` when the file has none.
StoredPlacement ReadPlacement(const StateFile& file, int defaultWidth);
// Size and position only in normal state; the state always.
void WritePlacement(const StateFile& file, const QRect& outer, int band, int windowState);

} // namespace faulttrap
