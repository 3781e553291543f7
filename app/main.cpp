#include "app/programa.h"
#include "config/caminhos.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication aplicacao(argc, argv);
    olvendra::app::Programa programa;
    if (!programa.inicia(olvendra::DiretorioDoPrograma(), olvendra::RaizDaSuite())) {
        return 0;
    }
    programa.janela().show();
    programa.janela().activateWindow();
    return QApplication::exec();
}
