#pragma once

#include "connection.h"

namespace olvendra::data {

// Creates the suite's four tables (MEDICOS, USUARIOS, ESTACOES, ESPECIALIDADES) with their keys and
// the name index, in one transaction, on an empty database.
void CreateSchema(Connection& connection);

} // namespace olvendra::data
