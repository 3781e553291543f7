#pragma once

#include "app/painel.h"
#include "data/record_set.h"

class QPushButton;

namespace olvendra::app {

class DBGrid;

// The search result list: the names and registration numbers of the matches, with "Enter" to
// choose and "Esc" to cancel (also as keys in the grid).
class PainelRelacao : public Painel {
public:
    PainelRelacao(QWidget* pai, data::RecordSet& medicos);

    DBGrid* GradePesqMed = nullptr;
    QPushButton* BotEnterPesqMed = nullptr;
    QPushButton* BotEscPesqMedi = nullptr;
};

} // namespace olvendra::app
