// A Qt program that carries FaultTrap: the button's handler fails, FaultTrap shows its dialog and
// writes the report to its log file, and the program goes on. With --fail-now it presses the
// button itself at start and, with no dialog, ends after the report.
#include <faulttrap/faulttrap_qt.h>

#include <QPushButton>
#include <QTimer>

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

__attribute__((noinline)) void PrintLabel(const std::vector<std::string>& labels, int index) {
    if (index >= static_cast<int>(labels.size())) {
        throw std::out_of_range("no label " + std::to_string(index)); // the failure
    }
    std::cout << labels[index] << std::endl;
}

} // namespace

int main(int argc, char** argv) {
    if (const int code = faulttrap::RunDialogHelperIfRequested(argc, argv); code >= 0) {
        return code;
    }
    faulttrap::TFaultApplication application(argc, argv);
    const bool unattended = application.arguments().contains("--fail-now");
    if (unattended) {
        faulttrap::SetOption("ExceptionDialogType", "None");
        faulttrap::SetOption("TerminateAction", "Terminate");
    }
    std::cout << "reports go to " << faulttrap::LogFileName() << std::endl;

    QPushButton button("Print label 3");
    QObject::connect(&button, &QPushButton::clicked, [] { PrintLabel({"soap", "salt"}, 3); });
    button.show();
    if (unattended) {
        QTimer::singleShot(0, &button, [&button] { button.animateClick(); });
    }
    return QApplication::exec();
}
