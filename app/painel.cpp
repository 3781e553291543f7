#include "app/painel.h"

#include "app/fontes.h"

#include <QLabel>
#include <QPainter>
#include <qdrawutil.h>

namespace olvendra::app {

namespace {
constexpr int LarguraDoBisel = 1;
constexpr int Margem = 2 * LarguraDoBisel;
const QColor Marinho(0x00, 0x00, 0x80);
} // namespace

Painel::Painel(QWidget* pai, const char* nome) : QFrame(pai) {
    setObjectName(QString::fromLatin1(nome));
    setAutoFillBackground(true);
    hide();
}

QLabel* Painel::defineTitulo(const QString& titulo, int altura) {
    alturaDaFaixa_ = altura;
    faixa_ = new QLabel(titulo, this);
    faixa_->setObjectName(objectName() + QStringLiteral("Titulo"));
    faixa_->setAlignment(Qt::AlignCenter);
    faixa_->setFont(Fonte(Familia::Arial, 13, true));
    faixa_->setAutoFillBackground(true);
    QPalette cores = faixa_->palette();
    cores.setColor(QPalette::Window, Marinho);
    cores.setColor(QPalette::WindowText, Qt::white);
    faixa_->setPalette(cores);
    faixa_->setGeometry(Margem, Margem, width() - 2 * Margem, alturaDaFaixa_);
    return faixa_;
}

void Painel::paintEvent(QPaintEvent* evento) {
    QFrame::paintEvent(evento);
    QPainter pintor(this);
    qDrawShadePanel(&pintor, rect(), palette(), false, LarguraDoBisel);
    qDrawShadePanel(
        &pintor, rect().adjusted(LarguraDoBisel, LarguraDoBisel, -LarguraDoBisel, -LarguraDoBisel),
        palette(), true, LarguraDoBisel);
}

void Painel::resizeEvent(QResizeEvent* evento) {
    QFrame::resizeEvent(evento);
    if (faixa_ != nullptr) {
        faixa_->setGeometry(Margem, Margem, width() - 2 * Margem, alturaDaFaixa_);
    }
}

} // namespace olvendra::app
