#include "app/guarda_do_teclado.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace olvendra::app {

namespace {

// Alt (without Ctrl, which some layouts use as AltGr) with a letter or a digit.
bool AltComLetra(const QKeyEvent* tecla) {
    const auto modificadores = tecla->modifiers();
    if (!(modificadores & Qt::AltModifier) || (modificadores & Qt::ControlModifier)) {
        return false;
    }
    const int codigo = tecla->key();
    return (codigo >= Qt::Key_A && codigo <= Qt::Key_Z) ||
           (codigo >= Qt::Key_0 && codigo <= Qt::Key_9);
}

} // namespace

GuardaDoTeclado::GuardaDoTeclado(QWidget* janela, QWidget* painelLogin,
                                 QList<QKeySequence> daJanela)
    : QObject(janela), janela_(janela), painelLogin_(painelLogin), daJanela_(std::move(daJanela)) {
    qApp->installEventFilter(this);
}

bool GuardaDoTeclado::eventFilter(QObject* objeto, QEvent* evento) {
    const bool override = evento->type() == QEvent::ShortcutOverride;
    if ((evento->type() != QEvent::KeyPress && !override) || !objeto->isWidgetType()) {
        return false;
    }
    auto* controle = static_cast<QWidget*>(objeto);
    if (controle->window() != janela_) {
        return false;
    }
    if (override) {
        // Left unaccepted, the key goes to the window's shortcut instead of the field.
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        return daJanela_.contains(QKeySequence(tecla->keyCombination()));
    }
    // A button's accelerator arrives as a shortcut, never as this key press: what gets here
    // pressed nothing and would only type its letter.
    if (AltComLetra(static_cast<QKeyEvent*>(evento))) {
        return true;
    }
    // A key the login's controls left passes on to their parents (Esc reaches the window).
    if (painelLogin_->isVisible() && controle != painelLogin_ &&
        !painelLogin_->isAncestorOf(controle) && !controle->isAncestorOf(painelLogin_)) {
        return true;
    }
    return false;
}

} // namespace olvendra::app
