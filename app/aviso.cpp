#include "app/aviso.h"

#include <QMessageBox>
#include <QWidget>

namespace olvendra::app {

void Aviso(QWidget* pai, const QString& texto) {
    QMessageBox caixa(QMessageBox::NoIcon, QString::fromUtf8(TituloDaAplicacao),
                      QString(texto).replace(QLatin1Char('\r'), QLatin1Char('\n')), QMessageBox::Ok,
                      pai);
    caixa.setTextFormat(Qt::PlainText);
    caixa.exec();
    // The focus goes back to the window the notice interrupted, where the caller places it.
    if (pai != nullptr) {
        pai->window()->activateWindow();
    }
}

} // namespace olvendra::app
