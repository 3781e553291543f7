#pragma once

#include <firebird/Interface.h>

#include <string>

namespace olvendra::data {

// The Firebird client library, loaded at run time so that the suite's CaminhoGDS.txt can name the
// directory it comes from. Libraries stay loaded for the life of the process (the engine cannot
// be unloaded safely once attached).
Firebird::IMaster* LoadFirebirdClient(const std::string& libraryPath);

// Firebird's own text for a failed status vector.
std::string FormatStatus(Firebird::IMaster* master, const Firebird::IStatus* status);

} // namespace olvendra::data
