#pragma once

#include "data/connection.h"

#include <string>
#include <vector>

namespace olvendra::registry {

// A SELECT of the professionals with its parameter values.
struct Comando {
    std::string sql;
    std::vector<data::Value> parametros;
};

// The professionals whose name begins with `nomeNormalizado`, whatever the letter case and the
// accents ("joao" finds "João"), in dictionary order of the name, then by registration number.
// The text is the start of a LIKE pattern: "%" and "_" typed by the user stay wildcards. The
// value travels as a parameter, and the part before the first wildcard also as a STARTING WITH
// condition, which lets the server use the index on the name in Portuguese (it does not for LIKE
// with a parameter). Without that index the results are the same, only slower.
Comando ComandoPorNome(const std::string& campos, const std::string& nomeNormalizado);

// The professionals whose registration number begins with `crm` as typed (wildcards and
// apostrophes included), ordered by registration number.
Comando ComandoPorCRM(const std::string& campos, const std::string& crm);

// Every professional, in dictionary order of the name, then by registration number; `separador`
// is what stands between the two items of the ORDER BY.
Comando ComandoCompleto(const std::string& campos, const std::string& separador = ", ");

} // namespace olvendra::registry
