#pragma once

#include <QApplication>

namespace faulttrap {

// The program's application object: every exception that escapes an event handler reaches
// FaultTrap (origin 1) instead of leaving the event loop, and the loop goes on. It also plugs the
// window system into FaultTrap: the message box, the main window for the freeze watch and for
// bringing it forward, and the focused control.
class TFaultApplication : public QApplication {
public:
    TFaultApplication(int& argc, char** argv);
    ~TFaultApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace faulttrap
