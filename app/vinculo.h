#pragma once

#include "data/record_set.h"

#include <functional>
#include <string>

namespace olvendra::app {

// Ties a control to one column of a record set's current row: the control is shown the column's
// value whenever the set opens, moves, changes state or has a value written, and what the user
// types is written straight to the column (which puts a browsed row into editing).
class Vinculo {
public:
    using Mostra = std::function<void(const std::string& textoWin1252)>;

    Vinculo(data::RecordSet& conjunto, std::string coluna, Mostra mostra);
    ~Vinculo();
    Vinculo(const Vinculo&) = delete;
    Vinculo& operator=(const Vinculo&) = delete;

    data::RecordSet& conjunto() const { return conjunto_; }
    // Writes the typed text. A text the column refuses (a partial number) is kept in the control
    // until it is completed; false tells the caller that the column still holds its old value.
    bool escreve(const std::string& textoWin1252);
    // Shows the column's current value again.
    void recarrega();

private:
    data::RecordSet& conjunto_;
    std::string coluna_;
    Mostra mostra_;
    int ouvinte_ = -1;
    bool escrevendo_ = false;
};

} // namespace olvendra::app
