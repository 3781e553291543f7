#include "crashreport/dialogs/dialog_fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace faulttrap {

QFont MessageFont() {
    return QApplication::font();
}

QFont BoldFont() {
    QFont font = MessageFont();
    font.setBold(true);
    return font;
}

QFont UnderlinedFont() {
    QFont font = MessageFont();
    font.setUnderline(true);
    return font;
}

QFont LinkFont() {
    QFont font = BoldFont();
    font.setUnderline(true);
    return font;
}

QFont CaptionFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return font;
}

QFont PageFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

QFont ListFont() {
    return PageFont();
}

} // namespace faulttrap
