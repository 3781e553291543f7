#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace olvendra::app {

// The suite's colour code: 0x00BBGGRR, or, when negative (top byte 0xFF), the system colour whose
// index is in the lowest byte. System colours are taken from the palette's nearest role.
QColor CorDoCodigo(std::int32_t codigo, const QPalette& paleta);

} // namespace olvendra::app
