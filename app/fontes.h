#pragma once

#include <QFont>

namespace olvendra::app {

enum class Familia { Arial, ArialNarrow, MsSansSerif, TimesNewRoman };

// The suite's fonts by pixel height; each family falls back to its nearest free equivalent.
QFont Fonte(Familia familia, int pixels, bool negrito = false);

} // namespace olvendra::app
