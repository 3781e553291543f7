#include "crashreport/dialogs/link_label.h"

#include <QLabel>

namespace faulttrap {

QLabel* NewLinkLabel(const QString& text, const QFont& font, const QColor& colour,
                     const QString& name, QWidget* parent, QObject* watcher) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->adjustSize();
    label->installEventFilter(watcher);
    return label;
}

} // namespace faulttrap
