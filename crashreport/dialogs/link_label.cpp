#include "crashreport/dialogs/link_label.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionFocusRect>

#include <set>

namespace faulttrap {
namespace {

// The letters that follow a single "&" in the captions of the window's buttons and check boxes.
std::set<QChar> TakenAccelerators(QWidget* window) {
    std::set<QChar> taken;
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString text = button->text();
        for (qsizetype at = text.indexOf(u'&'); at >= 0 && at + 1 < text.size();
             at = text.indexOf(u'&', at + 2)) {
            if (text[at + 1] != u'&') {
                taken.insert(text[at + 1].toLower());
            }
        }
    }
    return taken;
}

} // namespace

LinkLabel::LinkLabel(const QString& text, const QFont& font, const QColor& colour,
                     std::function<void()> open, QWidget* parent)
    : QLabel(text, parent), open_(std::move(open)) {
    setTextFormat(Qt::PlainText);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    // Room for the focus frame around the text.
    setContentsMargins(1, 1, 1, 1);
    adjustSize();
}

QChar LinkLabel::GiveAccelerator(QWidget* window) {
    const std::set<QChar> taken = TakenAccelerators(window);
    for (const QChar letter : text()) {
        if (letter.isLetterOrNumber() && !taken.contains(letter.toLower())) {
            auto* shortcut = new QShortcut(
                QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(letter.toUpper().unicode()))),
                window);
            connect(shortcut, &QShortcut::activated, this, [this] {
                setFocus(Qt::ShortcutFocusReason);
                open_();
            });
            return letter;
        }
    }
    return {};
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        open_();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open_();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace faulttrap
