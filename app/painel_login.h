#pragma once

#include "app/painel.h"

#include <functional>

class QLineEdit;
class QPushButton;

namespace olvendra::app {

// The login panel: user name, password (shown as "#"), "OK" and "Cancela". Enter in the name
// moves to the password; Enter in the password asks for validation; leaving the name turns it to
// upper case (a-z only).
class PainelLogin : public Painel {
public:
    explicit PainelLogin(QWidget* pai);

    QLineEdit* EditNome = nullptr;
    QLineEdit* EditSenhaU = nullptr;
    QPushButton* BotOkSenha = nullptr;
    QPushButton* BotCancSenha = nullptr;

    // Run by Enter in the password field and by "OK".
    std::function<void()> aoValidar;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    // Tab and Shift+Tab cycle through the panel's own controls: until the login succeeds the
    // keyboard never leaves it.
    bool focusNextPrevChild(bool proximo) override;

private:
    void EditNomeExit();
};

} // namespace olvendra::app
