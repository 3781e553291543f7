#include "app/vinculo.h"

#include "data/errors.h"

namespace olvendra::app {

Vinculo::Vinculo(data::RecordSet& conjunto, std::string coluna, Mostra mostra)
    : conjunto_(conjunto), coluna_(std::move(coluna)), mostra_(std::move(mostra)) {
    ouvinte_ = conjunto_.addListener([this](data::RecordSetEvent) {
        if (!escrevendo_) {
            recarrega();
        }
    });
}

Vinculo::~Vinculo() {
    conjunto_.removeListener(ouvinte_);
}

bool Vinculo::escreve(const std::string& textoWin1252) {
    if (!conjunto_.active()) {
        return false;
    }
    // A browsed record is put into editing only by a change.
    if (conjunto_.state() == data::RecordSetState::Browsing && !conjunto_.isEmpty() &&
        conjunto_.fieldText(coluna_) == textoWin1252) {
        return true;
    }
    escrevendo_ = true;
    try {
        conjunto_.setFieldText(coluna_, textoWin1252);
    } catch (const data::RecordSetError&) {
        escrevendo_ = false;
        return false;
    }
    escrevendo_ = false;
    return true;
}

void Vinculo::recarrega() {
    const bool temLinha = conjunto_.active() && !conjunto_.isEmpty();
    mostra_(temLinha ? conjunto_.fieldText(coluna_) : std::string());
}

} // namespace olvendra::app
