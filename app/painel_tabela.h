#pragma once

#include "app/painel.h"
#include "data/record_set.h"

class QPushButton;

namespace olvendra::app {

class DBGrid;

// The table of all professionals, edited in place; "&Sair" (Esc) closes it.
class PainelTabela : public Painel {
public:
    PainelTabela(QWidget* pai, data::RecordSet& medicos);

    QPushButton* BitBtn1 = nullptr;
    DBGrid* TabelaMedicos = nullptr;
};

} // namespace olvendra::app
