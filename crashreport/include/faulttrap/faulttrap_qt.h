#pragma once

// FaultTrap for Qt programs (FaultTrap::faulttrap_qt): the application object that hands every
// exception escaping an event handler to FaultTrap, and the dialog helper. A Qt program's main():
//
//   int main(int argc, char** argv) {
//       if (const int code = faulttrap::RunDialogHelperIfRequested(argc, argv); code >= 0)
//           return code;
//       faulttrap::TFaultApplication application(argc, argv);
//       ...
//       return QApplication::exec();
//   }

#include "faulttrap/faulttrap.h"

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

// FaultTrap shows its dialogs from a helper process of the same program when the program's own
// window cannot (the GUI thread crashed or froze). The helper is this program started again: the
// first thing main() does is this call, which in a helper shows the dialogs and gives the exit
// code, and otherwise gives -1 at once.
int RunDialogHelperIfRequested(int argc, char** argv);

} // namespace faulttrap
