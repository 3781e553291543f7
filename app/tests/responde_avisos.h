#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace olvendra::app::testing {

// While alive, answers every message box the program opens: records its caption and text and
// presses its OK (or the given) button, as a user reading it would.
class RespondeAvisos {
public:
    explicit RespondeAvisos(QMessageBox::StandardButton resposta = QMessageBox::Ok)
        : resposta_(resposta) {
        relogio_.setInterval(5);
        QObject::connect(&relogio_, &QTimer::timeout, [this] { responde(); });
        relogio_.start();
    }

    QStringList textos;
    QStringList titulos;
    QList<bool> semIcone;

private:
    void responde() {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (caixa == nullptr || !caixa->isVisible()) {
            return;
        }
        textos << caixa->text();
        titulos << caixa->windowTitle();
        semIcone << (caixa->icon() == QMessageBox::NoIcon && caixa->buttons().size() == 1);
        QAbstractButton* botao = caixa->button(resposta_);
        if (botao != nullptr) {
            botao->click();
        }
    }

    QMessageBox::StandardButton resposta_;
    QTimer relogio_;
};

} // namespace olvendra::app::testing
