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

    QLabel* defineTitulo(const QString& titulo);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    QLabel* faixa_ = nullptr;
};

} // namespace olvendra::app
