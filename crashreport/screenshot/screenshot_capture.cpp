#include "crashreport/screenshot/screenshot_capture.h"

#include "crashreport/screenshot/screenshot_area.h"

#include "crashreport/options/option_types.h"
#include "crashreport/packaging/png_writer.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QScreen>
#include <QWidget>

#include <cstring>

namespace faulttrap {

namespace {

constexpr int CursorSize = 32;
const QColor FocusFrameColour(0xFF, 0x00, 0x00);

TScreenLayout CurrentLayout() {
    TScreenLayout layout;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            layout.visibleWindows.push_back(window->frameGeometry());
        }
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        layout.monitors.push_back(screen->geometry());
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        layout.desktop = primary->virtualGeometry();
    }
    return layout;
}

QImage GrabArea(const QRect& area) {
    QImage picture(area.size(), QImage::Format_RGB888);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect part = area.intersected(screen->geometry());
        if (part.isEmpty()) {
            continue;
        }
        const QPoint local = part.topLeft() - screen->geometry().topLeft();
        const QPixmap grabbed =
            screen->grabWindow(0, local.x(), local.y(), part.width(), part.height());
        painter.drawPixmap(part.topLeft() - area.topLeft(), grabbed);
    }
    return picture;
}

// Two one-pixel rectangles: the control's frame and the same shrunk by one pixel.
void DrawFocusFrame(QPainter& painter, const QRect& frame) {
    painter.setPen(QPen(FocusFrameColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.drawRect(frame.adjusted(1, 1, -2, -2));
}

// The arrow cursor, hot spot at its tip, within 32 x 32 pixels.
void DrawCursor(QPainter& painter, const QPoint& hotSpot) {
    const QPolygon arrow({{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}});
    painter.save();
    painter.setClipRect(QRect(hotSpot, QSize(CursorSize, CursorSize)));
    painter.translate(hotSpot);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    painter.restore();
}

TRgbImage ToRgb(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    TRgbImage image(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(image.Pixel(0, y), rgb.constScanLine(y),
                    static_cast<std::size_t>(rgb.width()) * 3);
    }
    return image;
}

} // namespace

TCaptureMoment CurrentCaptureMoment() {
    TCaptureMoment moment;
    if (const QWidget* focused = QApplication::focusWidget()) {
        moment.focusRect = QRect(focused->mapToGlobal(QPoint(0, 0)), focused->size());
    }
    moment.cursorPosition = QCursor::pos();
    return moment;
}

TRgbImage GrabScreenArea(const QRect& area) {
    return ToRgb(GrabArea(area));
}

void TScreenshotCapture::CaptureScreenshot(std::uint16_t sendOptions,
                                           const TCaptureMoment& moment) {
    const QWidget* active = QApplication::activeWindow();
    if ((sendOptions & send_options::ScreenshotActiveWindow) && active != nullptr) {
        area_ = active->frameGeometry();
    } else {
        area_ = DesktopScreenshotArea(CurrentLayout());
    }
    area_.setSize(area_.size().expandedTo(QSize(1, 1)));
    QImage picture = GrabArea(area_);
    {
        QPainter painter(&picture);
        if (moment.focusRect) {
            DrawFocusFrame(painter, moment.focusRect->translated(-area_.topLeft()));
        }
        DrawCursor(painter, moment.cursorPosition - area_.topLeft());
    }
    image_ = ToRgb(picture);
}

void TScreenshotCapture::WriteScreenshotPng(const std::string& path) const {
    WritePngFile(path, image_);
}

} // namespace faulttrap
