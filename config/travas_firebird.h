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
void UsaPastaDeTravasDaSuite();

} // namespace olvendra
