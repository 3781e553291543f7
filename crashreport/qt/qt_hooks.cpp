#include "crashreport/qt/qt_hooks.h"

#include "crashreport/dialogs/qt_text.h"
#include "crashreport/drivers/install_steps.h"
#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/freeze_watch.h"
#include "crashreport/intercept/processing_hooks.h"

#include <QApplication>
#include <QLineEdit>
#include <QMetaObject>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <string>

namespace faulttrap {

namespace {

std::atomic<bool> mainWindowShown{false};

bool OnGuiThread() {
    return qApp != nullptr && QThread::currentThread() == qApp->thread();
}

// The first visible top-level window that is neither a tool window nor owned by another one.
QWidget* MainWindow() {
    if (qApp == nullptr) {
        return nullptr;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !widget->geometry().isEmpty() &&
            widget->windowType() != Qt::Tool && widget->parentWidget() == nullptr) {
            return widget;
        }
    }
    return nullptr;
}

void RaiseMainWindow() {
    QWidget* window = MainWindow();
    if (window == nullptr || !OnGuiThread()) {
        return;
    }
    if (window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
}

void ReadFocus(std::string& className, std::string& text) {
    if (!OnGuiThread()) {
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        return;
    }
    className = focus->metaObject()->className();
    if (const auto* edit = qobject_cast<QLineEdit*>(focus)) {
        text = edit->echoMode() == QLineEdit::Normal
                   ? FromQt(edit->text())
                   : std::string(static_cast<std::size_t>(edit->text().size()), '*');
    }
}

// The window in front: the active one, else the one that holds the focus, else the main window.
QWidget* FrontWindow() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    if (QWidget* focus = QApplication::focusWidget()) {
        return focus->window();
    }
    return MainWindow();
}

void ReadWindowFacts(WindowFacts& facts) {
    if (qApp == nullptr) {
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (OnGuiThread()) {
        if (QWidget* window = FrontWindow()) {
            facts.formClass = window->metaObject()->className();
            facts.formText = FromQt(window->windowTitle());
            if (window->screen() != nullptr) {
                screen = window->screen();
            }
        }
    }
    if (screen == nullptr) {
        return;
    }
    char mode[64];
    std::snprintf(mode, sizeof mode, "%d x %d, %d bit", screen->size().width(),
                  screen->size().height(), screen->depth());
    facts.displayMode = mode;
    facts.displayDpi = std::to_string(qRound(screen->logicalDotsPerInchY()));
}

} // namespace

void InstallQtHooks() {
    SetWindowedProgram(true);
    InstallDialogAndDeliverySteps();
    SetMainWindowRaiser(RaiseMainWindow);
    SetFocusReader(ReadFocus);
    SetWindowFactsReader(ReadWindowFacts);
    // The watch thread never waits for the GUI thread (it may be the frozen one): it reads what
    // the GUI thread found at its last answer.
    SetMainWindowAccess(
        {[] {
             QMetaObject::invokeMethod(
                 qApp, [] { mainWindowShown = MainWindow() != nullptr; }, Qt::QueuedConnection);
             return mainWindowShown.load();
         },
         [](std::function<void()> callback) {
             QMetaObject::invokeMethod(qApp, std::move(callback), Qt::QueuedConnection);
         }});
}

void RemoveQtHooks() {
    SetMainWindowAccess({});
    SetWindowFactsReader(nullptr);
    SetFocusReader(nullptr);
    SetMainWindowRaiser(nullptr);
    RemoveDialogAndDeliverySteps();
    SetWindowedProgram(false);
}

} // namespace faulttrap
