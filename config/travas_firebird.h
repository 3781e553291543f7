#pragma once

#include <filesystem>

namespace olvendra {

// The folder of the embedded Firebird engine's lock files. Every process that opens one
// database file must use the same one; the system's default (/tmp/firebird) belongs to the
// firebird user and a normal user cannot write it. The suite's folder is: "firebird-lock" inside
// the suite folder, unless FIREBIRD_LOCK names another.
std::filesystem::path PastaDeTravasDoFirebird();

// Makes the engine of this process use PastaDeTravasDoFirebird(): sets FIREBIRD_LOCK when it is
// unset and creates the folder. Called before the database client is loaded. A folder that
// cannot be created is left to the engine, whose error then names it.
// The pharmacy's users share the database and the lock files through the suite's group, so what
// this process creates keeps read and write for the group whatever the user's umask says, and
// the lock files that root's processes make go back to the folder's group when they end.
void UsaPastaDeTravasDaSuite();

} // namespace olvendra
