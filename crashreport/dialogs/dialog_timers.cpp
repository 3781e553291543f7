#include "crashreport/dialogs/dialog_timers.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace faulttrap {

AutoCloseTimer::AutoCloseTimer(QWidget* dialog, int seconds)
    : QObject(dialog), dialog_(dialog), seconds_(seconds) {
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &AutoCloseTimer::Tick);
}

void AutoCloseTimer::Start() {
    if (seconds_ <= 0) {
        return;
    }
    count_ = 0;
    qApp->installEventFilter(this);
    timer_.start();
}

void AutoCloseTimer::Tick() {
    if (seconds_ <= 0) {
        return;
    }
    if (++count_ >= seconds_) {
        timer_.stop();
        dialog_->close();
    }
}

bool AutoCloseTimer::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::HoverMove:
    case QEvent::Wheel:
    case QEvent::FocusIn:
    case QEvent::Shortcut: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && (widget == dialog_ || dialog_->isAncestorOf(widget))) {
            count_ = 0;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

KeepInFrontTimer::KeepInFrontTimer(QWidget* dialog) : QObject(dialog), dialog_(dialog) {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &KeepInFrontTimer::Check);
}

void KeepInFrontTimer::Start() {
    listed_.clear();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != dialog_ && window->isVisible()) {
            listed_.append(window);
        }
    }
    timer_.start();
}

void KeepInFrontTimer::Check() {
    const Qt::WindowFlags flags = dialog_->windowHandle() != nullptr
                                      ? dialog_->windowHandle()->flags()
                                      : dialog_->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint)) {
        return;
    }
    QWidget* active = QApplication::activeWindow();
    if (active == nullptr || active == dialog_ || !listed_.contains(active)) {
        return;
    }
    dialog_->raise();
    dialog_->activateWindow();
}

} // namespace faulttrap
