#pragma once

#include "data/record_set.h"
#include "login/sessao.h"
#include "login/tela_de_login.h"

namespace olvendra::login {

// One login attempt with the name and password typed in the panel. A failure shows its notice
// and leaves the focus in the field to retype; success unlocks the window and looks up the
// user's work area, closing the window when there is none. A database failure while reading the
// users propagates to the caller with the panel still up.
void ValidaUsuario(TelaDeLogin& tela, data::RecordSet& usuarios, data::RecordSet& estacoes,
                   Sessao& sessao);

} // namespace olvendra::login
