#include "crashreport/screenshot/screenshot_area.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

const QRect Left(0, 0, 1024, 768);
const QRect Right(1024, 0, 1280, 1024);
const QRect Desktop(0, 0, 2304, 1024);

TEST(ScreenshotArea, WindowsAreWidenedToTheirWholeMonitors) {
    struct Case {
        const char* name;
        std::vector<QRect> windows;
        QRect expected;
    } cases[] = {
        {"one window on the left monitor", {QRect(100, 100, 300, 200)}, Left},
        {"one window on the right monitor", {QRect(1500, 50, 100, 100)}, Right},
        {"windows on both monitors",
         {QRect(10, 10, 50, 50), QRect(2000, 900, 100, 50)},
         QRect(QPoint(0, 0), Right.bottomRight())},
        {"window reaching off the desktop", {QRect(-200, -100, 250, 150)}, Left},
        {"zero-width windows do not count", {QRect(1500, 50, 0, 100)}, Desktop},
        {"no window", {}, Desktop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DesktopScreenshotArea({c.windows, {Left, Right}, Desktop}), c.expected);
    }
}

TEST(ScreenshotArea, WithoutMonitorsTheDesktopIsTakenAndNeverLessThanOnePixel) {
    EXPECT_EQ(DesktopScreenshotArea({{QRect(5, 5, 10, 10)}, {}, Desktop}), Desktop);
    EXPECT_EQ(DesktopScreenshotArea({{}, {}, QRect(0, 0, 0, 0)}), QRect(0, 0, 1, 1));
}

TEST(ScreenshotArea, NearestMonitorHoldsThePointOrIsClosestToIt) {
    EXPECT_EQ(NearestMonitor({Left, Right}, QPoint(1100, 500)), Right);
    EXPECT_EQ(NearestMonitor({Left, Right}, QPoint(1030, 1000)), Right);
    EXPECT_EQ(NearestMonitor({Left, Right}, QPoint(500, 1000)), Left);
}

} // namespace
} // namespace faulttrap
