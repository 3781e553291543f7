#pragma once

namespace olvendra::registry {

// What the search needs from the main window: its two panels, the record panel's enable-state
// operations and two focus moves.
class TelaDePesquisa {
public:
    virtual ~TelaDePesquisa() = default;

    virtual void DesabilitaBotoesCampos() = 0;
    virtual void HabilitaBotoesCampos() = 0;
    // Places and shows the search panel and puts the focus in its name field, which empties both
    // search fields.
    virtual void mostraPainelDePesquisa() = 0;
    virtual void escondePainelDePesquisa() = 0;
    // Places and shows the result list and puts the focus in its grid.
    virtual void mostraRelacao() = 0;
    virtual void escondeRelacao() = 0;
    virtual void focaBotaoTabela() = 0;
    virtual void focaBotaoPesquisar() = 0;
};

} // namespace olvendra::registry
