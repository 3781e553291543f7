#include "app/aviso.h"

#include <QMessageBox>

namespace olvendra::app {

void Aviso(QWidget* pai, const QString& texto) {
    QMessageBox caixa(QMessageBox::NoIcon, QString::fromUtf8(TituloDaAplicacao),
                      QString(texto).replace(QLatin1Char('\r'), QLatin1Char('\n')), QMessageBox::Ok,
                      pai);
    caixa.setTextFormat(Qt::PlainText);
    caixa.exec();
}

} // namespace olvendra::app
