#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace olvendra::app::testing {

// While alive, answers every message box the program opens: records its caption, text, icon and
// default button and presses the next of the given answers (then the given button, OK by default),
// as a user reading it would.
class RespondeAvisos {
public:
    explicit RespondeAvisos(QMessageBox::StandardButton resposta = QMessageBox::Ok)
        : resposta_(resposta) {
        inicia();
    }
    explicit RespondeAvisos(QList<QMessageBox::StandardButton> respostas)
        : resposta_(QMessageBox::Ok), roteiro_(std::move(respostas)) {
        inicia();
    }

    QStringList textos;
    QStringList titulos;
    QList<bool> semIcone;
    QList<QMessageBox::Icon> icones;
    QList<QMessageBox::StandardButton> padroes;
    // The answers of the list not given yet.
    qsizetype respostasPendentes() const { return roteiro_.size(); }

private:
    void inicia() {
        relogio_.setInterval(5);
        QObject::connect(&relogio_, &QTimer::timeout, [this] { responde(); });
        relogio_.start();
    }

    void responde() {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (caixa == nullptr || !caixa->isVisible()) {
            return;
        }
        textos << caixa->text();
        titulos << caixa->windowTitle();
        semIcone << (caixa->icon() == QMessageBox::NoIcon && caixa->buttons().size() == 1);
        icones << caixa->icon();
        padroes << caixa->standardButton(caixa->defaultButton());
        const auto resposta = roteiro_.isEmpty() ? resposta_ : roteiro_.takeFirst();
        QAbstractButton* botao = caixa->button(resposta);
        if (botao != nullptr) {
            botao->click();
        }
    }

    QMessageBox::StandardButton resposta_;
    QList<QMessageBox::StandardButton> roteiro_;
    QTimer relogio_;
};

} // namespace olvendra::app::testing
