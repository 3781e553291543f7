#pragma once

// The own look of the exception dialogs. Qt leaves the window frame to the window manager, so
// the look is carried by what the client area can do: a tool-window frame (small caption), the
// own background colour, flat buttons, and the caption gradient with its frame lines painted as
// a title band across the top of the client area.

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace faulttrap {

inline const QColor kOwnLookBackground(0xD4, 0xD0, 0xC8);

// Own background, flat buttons (for the buttons that exist now).
void ApplyOwnLook(QWidget* dialog);

// The caption bar: nested rectangles, each 2 pixels narrower on both sides, the colour darkened
// by 0.96 per step; frame lines around it; the caption text with its shadow when active.
void PaintOwnLookCaption(QPainter& painter, const QRect& bar, const QString& caption, bool active);

} // namespace faulttrap
