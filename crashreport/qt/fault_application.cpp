#include "crashreport/qt/fault_application.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/freeze_watch.h"
#include "crashreport/qt/qt_hooks.h"

#include <QThread>

#include <cstdio>

namespace faulttrap {

TFaultApplication::TFaultApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallQtHooks();
}

TFaultApplication::~TFaultApplication() {
    // A delivery in the background still shows its windows through this application: it serves
    // them until the delivery has ended and let go of the processing lock.
    while (!ProcessingLock().try_lock()) {
        processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    ProcessingLock().unlock();
    RemoveQtHooks();
}

bool TFaultApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (ExceptionManager(std::current_exception(), 0, 1)) {
            // The standard handling: say what happened and let the event loop go on.
            const FaultException exception = CaptureCurrentException();
            std::fprintf(stderr, "%s: %s\n", exception.className.c_str(),
                         exception.message.c_str());
        }
        return false;
    }
}

} // namespace faulttrap
