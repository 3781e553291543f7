#include "app/aviso.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QWidget>

namespace olvendra::app {

namespace {

int Mostra(QWidget* pai, QMessageBox::Icon icone, const char* tituloUtf8, const QString& texto,
           QMessageBox::StandardButtons botoes, QMessageBox::StandardButton padrao) {
    QMessageBox caixa(icone, QString::fromUtf8(tituloUtf8),
                      QString(texto).replace(QLatin1Char('\r'), QLatin1Char('\n')), botoes, pai);
    caixa.setTextFormat(Qt::PlainText);
    caixa.setDefaultButton(padrao);
    // Wide enough for its caption, which the window manager would otherwise cut; the frame's
    // buttons take about the width of a dozen characters more.
    if (auto* grade = qobject_cast<QGridLayout*>(caixa.layout())) {
        const QFontMetrics medidas(QApplication::font("QMdiSubWindowTitleBar"));
        const int largura =
            medidas.horizontalAdvance(caixa.windowTitle()) + 12 * medidas.averageCharWidth();
        grade->addItem(new QSpacerItem(largura, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                       grade->rowCount(), 0, 1, grade->columnCount());
    }
    const int resposta = caixa.exec();
    // The focus goes back to the window the box interrupted, where the caller places it.
    if (pai != nullptr) {
        pai->window()->activateWindow();
    }
    return resposta;
}

} // namespace

void Aviso(QWidget* pai, const QString& texto) {
    Mostra(pai, QMessageBox::NoIcon, TituloDaAplicacao, texto, QMessageBox::Ok, QMessageBox::Ok);
}

bool Pergunta(QWidget* pai, const QString& texto) {
    return Mostra(pai, QMessageBox::Warning, TituloDoCadastro, texto,
                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void Relato(QWidget* pai, const QString& texto) {
    Mostra(pai, QMessageBox::Warning, TituloDoCadastro, texto, QMessageBox::Ok, QMessageBox::Ok);
}

bool ConfirmaExclusao(QWidget* pai) {
    return Mostra(pai, QMessageBox::Question, "Confirm", QStringLiteral("Delete record?"),
                  QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace olvendra::app
