#include "app/programa.h"
#include "config/caminhos.h"
#include "config/erro_inesperado.h"
#include "crashreport/dialogs/dialog_helper.h"
#include "intercept/dispatcher.h"
#include "intercept/qt/fault_application.h"

int main(int argc, char** argv) {
    // Started by FaultTrap to show its dialogs when the program's own window cannot.
    if (const int codigo = faulttrap::RunDialogHelperIfRequested(argc, argv); codigo >= 0) {
        return codigo;
    }
    // Every unexpected error goes to FaultTrap, as those of the event handlers do (origin 1).
    olvendra::DefineTratadorDeErroInesperado(
        [](std::exception_ptr erro) { faulttrap::ExceptionManager(erro, 0, 1); });
    faulttrap::TFaultApplication aplicacao(argc, argv);
    olvendra::app::Programa programa;
    if (!programa.inicia(olvendra::DiretorioDoPrograma(), olvendra::RaizDaSuite())) {
        return 0;
    }
    programa.janela().show();
    programa.janela().activateWindow();
    return QApplication::exec();
}
