#include "app/programa.h"
#include "app/traducao_qt.h"
#include "config/caminhos.h"
#include "config/erro_inesperado.h"
#include "config/travas_firebird.h"

#include <faulttrap/faulttrap_qt.h>

int main(int argc, char** argv) {
    // Started by FaultTrap to show its dialogs when the program's own window cannot.
    if (const int codigo = faulttrap::RunDialogHelperIfRequested(argc, argv); codigo >= 0) {
        return codigo;
    }
    // Every unexpected error goes to FaultTrap, as those of the event handlers do.
    olvendra::DefineTratadorDeErroInesperado([](std::exception_ptr erro) {
        faulttrap::ReportException(erro, faulttrap::CaughtIn::EventLoop);
    });
    olvendra::UsaPastaDeTravasDaSuite();
    faulttrap::TFaultApplication aplicacao(argc, argv);
    olvendra::app::CarregaTraducaoDoQt(aplicacao);
    olvendra::app::Programa programa;
    if (!programa.inicia(olvendra::DiretorioDoPrograma(), olvendra::RaizDaSuite())) {
        return 0;
    }
    programa.janela().show();
    programa.janela().activateWindow();
    return QApplication::exec();
}
