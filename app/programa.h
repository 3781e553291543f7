#pragma once

#include "app/form_medicos.h"
#include "data/dm.h"

#include <filesystem>
#include <optional>

namespace olvendra::app {

// The program in its start-up order: the main window (which reads the configuration), then the
// data module over the configured server, without connecting. The window goes before the data
// module, whose record sets its controls watch.
class Programa {
public:
    // False when the configuration file is missing: its notice has been shown and the program
    // ends with exit code 0.
    bool inicia(const std::filesystem::path& diretorioDoPrograma,
                const std::filesystem::path& raizDaSuite);

    TFormMedicos& janela() { return janela_; }
    data::TDM& dm() { return *dm_; }

private:
    std::optional<data::TDM> dm_;
    TFormMedicos janela_;
};

} // namespace olvendra::app
