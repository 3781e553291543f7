#include "crashreport/dialogs/window_placement.h"

#include "crashreport/dialogs/state_file.h"

#include <algorithm>

namespace faulttrap {

namespace {
const QString kSection = QStringLiteral("Coordinates");
}

QRect PlaceInWorkArea(const QRect& workArea, const StoredPlacement& stored, int band) {
    // A window larger than the work area shrinks to it: no part of it may lie off the screen.
    const int width = std::min(stored.width, workArea.width());
    const int height = std::max(0, std::min(stored.height, workArea.height() - band));
    int left = stored.left.value_or(workArea.left() + (workArea.width() - width) / 2);
    int top = stored.top.value_or(workArea.top() + (workArea.height() - height - band) / 2);
    // The band belongs to the window, so it must fit too.
    if (top + height + band > workArea.bottom() + 1) {
        top = workArea.bottom() + 1 - height - band;
    }
    if (left + width > workArea.right() + 1) {
        left = workArea.right() + 1 - width;
    }
    top = std::max(top, workArea.top());
    left = std::max(left, workArea.left());
    return QRect(left, top, width, height + band);
}

StoredPlacement ReadPlacement(const StateFile& file, int defaultWidth) {
    StoredPlacement stored;
    stored.width = file.Number(kSection, QStringLiteral("Width"), defaultWidth);
    stored.height = file.Number(kSection, QStringLiteral("Height"), stored.height);
    stored.left = file.Number(kSection, QStringLiteral("Left"));
    stored.top = file.Number(kSection, QStringLiteral("Top"));
    stored.windowState = file.Number(kSection, QStringLiteral("WindowsState"), 1);
    return stored;
}

void WritePlacement(const StateFile& file, const QRect& outer, int band, int windowState) {
    if (windowState == 1) {
        file.Write(kSection, QStringLiteral("Width"), outer.width());
        file.Write(kSection, QStringLiteral("Height"), outer.height() - band);
        file.Write(kSection, QStringLiteral("Left"), outer.left());
        file.Write(kSection, QStringLiteral("Top"), outer.top());
    }
    file.Write(kSection, QStringLiteral("WindowsState"), windowState);
}

} // namespace faulttrap
