#pragma once

#include "connection.h"

#include <string>
#include <vector>

namespace olvendra::data {

// Creates the suite's four tables (MEDICOS, USUARIOS, ESTACOES, ESPECIALIDADES) with their keys and
// their indexes, in one transaction, on an empty database.
void CreateSchema(Connection& connection);

// Adds, in one transaction, what a database made by an older suite lacks (the index on the name
// in Portuguese), leaving data, columns and other indexes alone; answers the names of what it
// added, none when the database is up to date.
std::vector<std::string> UpgradeSchema(Connection& connection);

} // namespace olvendra::data
