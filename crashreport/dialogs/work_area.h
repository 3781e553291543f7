#pragma once

#include <QRect>

namespace faulttrap {

// The available area of the screen of the active window, or of the primary screen.
QRect ForegroundWorkArea();

} // namespace faulttrap
