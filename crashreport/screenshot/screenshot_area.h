#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

namespace faulttrap {

// What the screen looked like around the exception, as far as the area rules need it.
struct TScreenLayout {
    std::vector<QRect> visibleWindows; // this process's visible top-level windows
    std::vector<QRect> monitors;
    QRect desktop; // the whole virtual desktop
};

// The monitor nearest to `point`: the one that holds it, else the one closest to it.
QRect NearestMonitor(const std::vector<QRect>& monitors, const QPoint& point);

// The area of the desktop screenshot: the union of the visible windows that have a width,
// widened from the top-left corner of the monitor nearest the union's top-left point to the
// bottom-right corner of the monitor nearest its bottom-right point; the whole desktop when
// there is no such window or no monitor. Never smaller than 1 x 1.
QRect DesktopScreenshotArea(const TScreenLayout& layout);

} // namespace faulttrap
