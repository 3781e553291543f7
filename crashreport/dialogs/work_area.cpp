#include "crashreport/dialogs/work_area.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace faulttrap {

QRect ForegroundWorkArea() {
    QScreen* screen = nullptr;
    if (QWidget* active = QApplication::activeWindow(); active != nullptr) {
        screen = active->screen();
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace faulttrap
