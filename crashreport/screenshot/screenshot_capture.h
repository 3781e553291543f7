#pragma once

#include "crashreport/packaging/rgb_image.h"

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>
#include <string>

namespace faulttrap {

// The moment of the exception as the capture needs it, recorded by the exception processing:
// where the control with the keyboard focus was and where the mouse cursor was.
struct TCaptureMoment {
    std::optional<QRect> focusRect; // global frame rectangle of the focused control
    QPoint cursorPosition;
};

// The moment as it is now: the focused widget of this application and the cursor position.
TCaptureMoment CurrentCaptureMoment();

// Copies `area` (global coordinates) from the screens into 24-bit pixels; parts that no screen
// shows stay black.
TRgbImage GrabScreenArea(const QRect& area);

// The one screenshot of an exception, from CaptureScreenshot to ReleaseScreenshot. Capturing
// reads the screens and the widgets, so it runs on the GUI thread.
class TScreenshotCapture {
public:
    // Takes the picture: the foreground window with `SendOptions` ScreenshotActiveWindow, else
    // the monitors that hold this program's windows; the focused control framed in red and the
    // cursor drawn where it was.
    void CaptureScreenshot(std::uint16_t sendOptions, const TCaptureMoment& moment);
    // Writes the picture as PNG; nothing happens for an empty path or without a picture.
    void WriteScreenshotPng(const std::string& path) const;
    void ReleaseScreenshot() { image_ = TRgbImage(); }

    const TRgbImage& Image() const { return image_; }
    QRect Area() const { return area_; }

private:
    TRgbImage image_;
    QRect area_;
};

} // namespace faulttrap
