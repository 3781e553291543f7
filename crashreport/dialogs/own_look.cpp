#include "crashreport/dialogs/own_look.h"

#include "crashreport/dialogs/dialog_fonts.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace faulttrap {

void ApplyOwnLook(QWidget* dialog) {
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, kOwnLookBackground);
    palette.setColor(QPalette::Button, kOwnLookBackground);
    palette.setColor(QPalette::WindowText, Qt::black);
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        button->setFlat(true);
        button->setStyleSheet(QStringLiteral(
            "QPushButton { border: 1px solid #404040; background: #E4E0D8; padding: 1px 2px; }"
            "QPushButton:hover { background: #F0ECE4; }"
            "QPushButton:pressed { background: #C4C0B8; }"
            "QPushButton:default { border: 2px solid #202020; }"));
    }
}

void PaintOwnLookCaption(QPainter& painter, const QRect& bar, const QString& caption, bool active) {
    const QColor frame = active ? QColor(0x40, 0x40, 0x40) : QColor(0x30, 0x30, 0x30);
    double red = active ? 0x82 : 0x97;
    double green = active ? 0x9B : 0x97;
    double blue = active ? 0xC2 : 0x97;
    QRect step = bar;
    // Each step darkens by 0.96; past kDarkest the bar keeps its colour, so that a wide caption
    // stays blue in the middle instead of going black.
    constexpr int kDarkest = 14;
    for (int i = 0; i < bar.width() / 5 && step.width() > 0; ++i) {
        painter.fillRect(step, QColor(std::min(255, static_cast<int>(std::lround(red))),
                                      std::min(255, static_cast<int>(std::lround(green))),
                                      std::min(255, static_cast<int>(std::lround(blue)))));
        step.adjust(2, 0, -2, 0);
        if (i < kDarkest) {
            red *= 0.96;
            green *= 0.96;
            blue *= 0.96;
        }
    }
    painter.setPen(frame);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    painter.setFont(CaptionFont());
    const QRect text = bar.adjusted(4, 0, -4, 0);
    if (active) {
        painter.setPen(QColor(0x22, 0x22, 0x22));
        painter.drawText(text.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, caption);
        painter.setPen(Qt::white);
    } else {
        painter.setPen(QColor(0xE0, 0xE0, 0xE0));
    }
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, caption);
}

} // namespace faulttrap
