#include "app/cor_fundo.h"

#include <gtest/gtest.h>

#include <QPalette>

namespace olvendra::app {
namespace {

QPalette PaletaDeTeste() {
    QPalette paleta;
    paleta.setColor(QPalette::Active, QPalette::Button, QColor(0xF0, 0xF0, 0xF0));
    paleta.setColor(QPalette::Active, QPalette::Base, QColor(0xFE, 0xFE, 0xFE));
    paleta.setColor(QPalette::Active, QPalette::Highlight, QColor(0x30, 0x60, 0x90));
    paleta.setColor(QPalette::Active, QPalette::Text, QColor(0x01, 0x02, 0x03));
    return paleta;
}

struct Caso {
    std::int32_t codigo;
    QColor esperada;
};

TEST(CorDoCodigo, ColoursAndSystemColours) {
    const QPalette paleta = PaletaDeTeste();
    const Caso casos[] = {
        {0, QColor(0, 0, 0)},                  // no key in the file: black
        {16777215, QColor(255, 255, 255)},     // white
        {0x0000FF, QColor(255, 0, 0)},         // red lives in the lowest byte
        {0xFF0000, QColor(0, 0, 255)},         // blue in the third
        {0x123456, QColor(0x56, 0x34, 0x12)},  // 0x00BBGGRR
        {-16777201, QColor(0xF0, 0xF0, 0xF0)}, // 0xFF00000F: button face
        {static_cast<std::int32_t>(0xFF000005), QColor(0xFE, 0xFE, 0xFE)}, // window
        {static_cast<std::int32_t>(0xFF00000D), QColor(0x30, 0x60, 0x90)}, // highlight
        {static_cast<std::int32_t>(0xFF000008), QColor(0x01, 0x02, 0x03)}, // window text
        {static_cast<std::int32_t>(0xFF000019), QColor(0, 0, 0)},          // unused index 25
        {static_cast<std::int32_t>(0xFF0000C8), QColor(0, 0, 0)},          // beyond the table
    };
    for (const Caso& caso : casos) {
        EXPECT_EQ(CorDoCodigo(caso.codigo, paleta), caso.esperada) << "code " << caso.codigo;
    }
}

} // namespace
} // namespace olvendra::app
