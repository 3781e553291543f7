#include "crashreport/dialogs/gui_thread.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>

namespace faulttrap {

bool HasGui() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool OnGuiThread() {
    return HasGui() && QThread::currentThread() == qApp->thread();
}

void RunOnGuiThread(const std::function<void()>& work) {
    if (!HasGui() || OnGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
}

} // namespace faulttrap
