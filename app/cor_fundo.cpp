#include "app/cor_fundo.h"

#include <array>
#include <optional>

namespace olvendra::app {

namespace {

struct CorDoSistema {
    QPalette::ColorGroup grupo;
    QPalette::ColorRole papel;
};

constexpr QPalette::ColorGroup Ativo = QPalette::Active;
constexpr QPalette::ColorGroup Inativo = QPalette::Inactive;

// The Windows system-colour indexes 0 to 30 (scroll bar, desktop, captions, menu, window, ...,
// menu bar) and the palette role that plays the same part on this desktop. Index 25 is unused
// there and has no colour.
constexpr std::array<std::optional<CorDoSistema>, 31> CoresDoSistema = {{
    CorDoSistema{Ativo, QPalette::Midlight},          // 0 scroll bar
    CorDoSistema{Ativo, QPalette::Dark},              // 1 desktop
    CorDoSistema{Ativo, QPalette::Highlight},         // 2 active caption
    CorDoSistema{Inativo, QPalette::Highlight},       // 3 inactive caption
    CorDoSistema{Ativo, QPalette::Window},            // 4 menu
    CorDoSistema{Ativo, QPalette::Base},              // 5 window
    CorDoSistema{Ativo, QPalette::Shadow},            // 6 window frame
    CorDoSistema{Ativo, QPalette::WindowText},        // 7 menu text
    CorDoSistema{Ativo, QPalette::Text},              // 8 window text
    CorDoSistema{Ativo, QPalette::HighlightedText},   // 9 caption text
    CorDoSistema{Ativo, QPalette::Button},            // 10 active border
    CorDoSistema{Inativo, QPalette::Button},          // 11 inactive border
    CorDoSistema{Ativo, QPalette::Mid},               // 12 application workspace
    CorDoSistema{Ativo, QPalette::Highlight},         // 13 highlight
    CorDoSistema{Ativo, QPalette::HighlightedText},   // 14 highlight text
    CorDoSistema{Ativo, QPalette::Button},            // 15 button face
    CorDoSistema{Ativo, QPalette::Dark},              // 16 button shadow
    CorDoSistema{Ativo, QPalette::PlaceholderText},   // 17 grey text
    CorDoSistema{Ativo, QPalette::ButtonText},        // 18 button text
    CorDoSistema{Inativo, QPalette::HighlightedText}, // 19 inactive caption text
    CorDoSistema{Ativo, QPalette::Light},             // 20 button highlight
    CorDoSistema{Ativo, QPalette::Shadow},            // 21 3-D dark shadow
    CorDoSistema{Ativo, QPalette::Midlight},          // 22 3-D light
    CorDoSistema{Ativo, QPalette::ToolTipText},       // 23 tooltip text
    CorDoSistema{Ativo, QPalette::ToolTipBase},       // 24 tooltip background
    std::nullopt,                                     // 25
    CorDoSistema{Ativo, QPalette::Link},              // 26 hot-tracked item
    CorDoSistema{Ativo, QPalette::Highlight},         // 27 active caption gradient
    CorDoSistema{Inativo, QPalette::Highlight},       // 28 inactive caption gradient
    CorDoSistema{Ativo, QPalette::Highlight},         // 29 highlighted menu item
    CorDoSistema{Ativo, QPalette::Window},            // 30 menu bar
}};

} // namespace

QColor CorDoCodigo(std::int32_t codigo, const QPalette& paleta) {
    const auto bits = static_cast<std::uint32_t>(codigo);
    if (codigo >= 0) {
        return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                      static_cast<int>((bits >> 16) & 0xFF));
    }
    // An index the system does not know gives black, as the system itself answers.
    const std::uint32_t indice = bits & 0xFF;
    if (indice >= CoresDoSistema.size() || !CoresDoSistema[indice]) {
        return QColor(Qt::black);
    }
    return paleta.color(CoresDoSistema[indice]->grupo, CoresDoSistema[indice]->papel);
}

} // namespace olvendra::app
