#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <functional>

namespace faulttrap {

// A text drawn as a link (its font and colour, the hand cursor), sized to its text. It opens with
// the left mouse button released over it, and, since it takes the focus with Tab and shows a
// focus frame then, with Enter or Space.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, const QFont& font, const QColor& colour,
              std::function<void()> open, QWidget* parent);

    // An Alt+letter shortcut in `window`: the first letter of the text that no button or check
    // box of the window uses as its accelerator. The letter, or nothing when every one is taken.
    QChar GiveAccelerator(QWidget* window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> open_;
};

} // namespace faulttrap
