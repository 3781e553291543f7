#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace olvendra::app {

// Keeps keystrokes out of the controls that must not take them, for every widget of one window:
// an Alt+letter that pressed no button is dropped instead of typing its letter, and while the
// login panel is shown no key reaches a control outside it (the clerk may still click the
// controls that stay enabled under the login, but nothing typed lands in a professional). The
// window's own keys (`daJanela`) win over a text field's use of the same key.
class GuardaDoTeclado : public QObject {
public:
    GuardaDoTeclado(QWidget* janela, QWidget* painelLogin, QList<QKeySequence> daJanela);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget* janela_;
    QWidget* painelLogin_;
    QList<QKeySequence> daJanela_;
};

} // namespace olvendra::app
