#pragma once

#include "data/record_set.h"
#include "registry/comandos_de_pesquisa.h"
#include "registry/tela_de_pesquisa.h"

#include <string>

namespace olvendra::registry {

// The search by name or registration number: it narrows the professionals' record set to the
// matches while the result list is shown, then restores the full list positioned on the chosen
// professional, or on the one current before the search when the choice is cancelled. Texts are
// Windows-1252.
class Pesquisa {
public:
    // `camposMedicos` is the column list of every statement, set when the window is activated.
    Pesquisa(data::RecordSet& medicos, TelaDePesquisa& tela, const std::string& camposMedicos);

    // The professional current when the search panel was opened (first 40 characters).
    std::string NomeSalvo;
    std::string CRMSalvo;

    void BotPesqMedClick();
    // Enter in the name field: the typed text is normalised first.
    void PesquisaPorNome(const std::string& nomeDigitado);
    // Enter in the number field.
    void PesquisaPorCRM(const std::string& crmDigitado);
    // The "Localizar" button: the name wins when both hold text; with both empty the panel closes.
    void BotLocalizaMedClick(const std::string& nomeDigitado, const std::string& crmDigitado);
    // Esc in either search field: nothing was searched, the record set is untouched.
    void FechaPesquisa();
    // Enter in the result list: the full list, positioned on the selected professional.
    void EscolheProfissional();
    // Esc in the result list: the full list, on the professional saved when the search began.
    // When that one no longer exists the list stays open, now showing every professional.
    void CancelaEscolha();

private:
    // Closes the set and opens it with `comando`; false when the open failed (reported as an
    // unexpected error: the set stays closed and the caller's panel stays on screen).
    bool reabre(const Comando& comando);
    void mostraResultado(const Comando& comando);

    data::RecordSet& medicos_;
    TelaDePesquisa& tela_;
    const std::string& campos_;
};

} // namespace olvendra::registry
