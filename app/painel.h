#pragma once

#include <QFrame>
#include <QString>

class QLabel;

namespace olvendra::app {

// A panel with a raised outer and a lowered inner bevel, optionally with the navy title strip
// (white bold caption) across its top.
class Painel : public QFrame {
public:
    Painel(QWidget* pai, const char* nome);

    // The title strip across the top, `altura` pixels high.
    QLabel* defineTitulo(const QString& titulo, int altura = 25);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    QLabel* faixa_ = nullptr;
    int alturaDaFaixa_ = 0;
};

} // namespace olvendra::app
