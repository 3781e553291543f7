#pragma once

#include "data/record_set.h"
#include "registry/tela_do_cadastro.h"

#include <string>

namespace olvendra::registry {

// The rules every change of a professional obeys, whichever control makes it: hooks of the
// professionals' record set (new record, validation before a store, saving after a store or a
// delete) and the exit button, which stores the current record or leaves without it.
class RegrasDoCadastro {
public:
    // Installs the hooks on `medicos`; the open and close hooks of the data module stay.
    // `usuarioLogin` is the user name typed at login, read whenever a record is created.
    RegrasDoCadastro(data::RecordSet& medicos, TelaDoCadastro& tela,
                     const std::string& usuarioLogin);
    ~RegrasDoCadastro();
    RegrasDoCadastro(const RegrasDoCadastro&) = delete;
    RegrasDoCadastro& operator=(const RegrasDoCadastro&) = delete;

    // True when the latest validation found the five mandatory fields filled.
    bool RegistroValido = false;
    // True while the exit button is leaving the registry.
    bool SaindoDoCadastro = false;

    // Stores the current record (creating one on an empty set) and closes the window, unless the
    // user chose to stay and complete the record.
    void BotSairMedicosClick();

    // Tries once more to write the changes stored but not yet in the database (after a dropped
    // connection), then re-reads the set. True when nothing is left pending; otherwise the user
    // has been told why, and the changes are kept.
    bool GravaPendentes();

private:
    void MEDICOSAfterInsert();
    bool MEDICOSBeforePost();
    void MEDICOSAfterPost();
    void MEDICOSAfterDelete();
    // Applies every pending change and re-reads the set; throws what either step throws.
    void salva();
    // Applies the pending changes; a change the database refused comes back into editing with
    // its message, shown once. True when everything was applied.
    bool aplica();
    // Whether another professional already has the registration number and specialty of the
    // record being stored; a database that cannot be asked leaves the answer to the apply.
    bool chaveRepetida();

    data::RecordSet& medicos_;
    TelaDoCadastro& tela_;
    const std::string& usuarioLogin_;
};

} // namespace olvendra::registry
