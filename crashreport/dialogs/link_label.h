#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QObject;
class QWidget;

namespace faulttrap {

// A label drawn as a link (its font and colour, the hand cursor), sized to its text. `watcher`
// receives its mouse events, and acts on the release of the left button.
QLabel* NewLinkLabel(const QString& text, const QFont& font, const QColor& colour,
                     const QString& name, QWidget* parent, QObject* watcher);

} // namespace faulttrap
