#include "crashreport/dialogs/text_box_keys.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace faulttrap {
namespace {

class CtrlTabTypesATab : public QObject {
public:
    explicit CtrlTabTypesATab(QPlainTextEdit* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier) {
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // the box takes it before any shortcut of the window
            return true;
        }
        box_->insertPlainText(QStringLiteral("\t"));
        return true;
    }

private:
    QPlainTextEdit* box_;
};

} // namespace

void TabLeavesTheBox(QPlainTextEdit* box) {
    box->setTabChangesFocus(true);
    box->installEventFilter(new CtrlTabTypesATab(box));
}

} // namespace faulttrap
