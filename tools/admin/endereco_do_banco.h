#pragma once

#include "connection.h"

#include <filesystem>
#include <string>

namespace olvendra::admin {

// A database given as "host[/port]:path" is reached through the Firebird server on that host (the
// program may be using it at the same time); anything else is a local file opened by the embedded
// engine.
bool IsServerAddress(const std::string& database);

// The connection settings for a database. Through a server, the administrator's credentials come
// from ISC_USER (default SYSDBA) and ISC_PASSWORD; without ISC_PASSWORD the password is asked for
// on the terminal, once per run, without echo. No terminal and no ISC_PASSWORD is refused.
data::ConnectionSettings SettingsFor(const std::filesystem::path& database);

// Refuses a local database file that does not exist (a server checks its own files).
void RequireDatabase(const std::filesystem::path& database);

} // namespace olvendra::admin
