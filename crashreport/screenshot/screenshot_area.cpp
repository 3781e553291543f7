#include "crashreport/screenshot/screenshot_area.h"

#include <limits>

namespace faulttrap {

namespace {

long long DistanceSquared(const QRect& rect, const QPoint& point) {
    const long long dx = point.x() < rect.left()    ? rect.left() - point.x()
                         : point.x() > rect.right() ? point.x() - rect.right()
                                                    : 0;
    const long long dy = point.y() < rect.top()      ? rect.top() - point.y()
                         : point.y() > rect.bottom() ? point.y() - rect.bottom()
                                                     : 0;
    return dx * dx + dy * dy;
}

QRect AtLeastOnePixel(QRect area) {
    if (area.width() < 1) {
        area.setWidth(1);
    }
    if (area.height() < 1) {
        area.setHeight(1);
    }
    return area;
}

} // namespace

QRect NearestMonitor(const std::vector<QRect>& monitors, const QPoint& point) {
    QRect nearest;
    long long best = std::numeric_limits<long long>::max();
    for (const QRect& monitor : monitors) {
        const long long distance = DistanceSquared(monitor, point);
        if (distance < best) {
            best = distance;
            nearest = monitor;
        }
    }
    return nearest;
}

QRect DesktopScreenshotArea(const TScreenLayout& layout) {
    QRect windows;
    for (const QRect& window : layout.visibleWindows) {
        if (window.width() > 0) {
            windows = windows.isNull() ? window : windows.united(window);
        }
    }
    if (windows.isNull() || layout.monitors.empty()) {
        return AtLeastOnePixel(layout.desktop);
    }
    const QRect first = NearestMonitor(layout.monitors, windows.topLeft());
    const QRect last = NearestMonitor(layout.monitors, windows.bottomRight());
    return AtLeastOnePixel(QRect(first.topLeft(), last.bottomRight()));
}

} // namespace faulttrap
