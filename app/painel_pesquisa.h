#pragma once

#include "app/painel.h"

#include <functional>

class QLineEdit;
class QPushButton;

namespace olvendra::app {

// The search entry: a name or a registration number, and "Localizar". Gaining the focus, either
// field empties both, so that only one of them holds text. Enter in a field starts its search;
// Esc in a field closes the panel.
class PainelPesquisa : public Painel {
public:
    explicit PainelPesquisa(QWidget* pai);

    QLineEdit* EditPesqMed = nullptr;
    QLineEdit* EditPesqCRM = nullptr;
    QPushButton* BotLocalizaMed = nullptr;

    std::function<void()> aoPesquisarNome;
    std::function<void()> aoPesquisarCRM;
    std::function<void()> aoFechar;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

} // namespace olvendra::app
