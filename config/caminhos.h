#pragma once

#include <filesystem>

namespace olvendra {

// The folder of the whole suite: $OLVENDRA_DIR, or /opt/olvendra when it is unset or empty.
std::filesystem::path RaizDaSuite();

// The directory of the running program's file (/proc/self/exe). Throws
// std::filesystem::filesystem_error when the link cannot be read.
std::filesystem::path DiretorioDoPrograma();

} // namespace olvendra
