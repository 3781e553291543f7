#include "config/travas_firebird.h"

#include "config/caminhos.h"

#include <cstdlib>
#include <system_error>

namespace olvendra {

std::filesystem::path PastaDeTravasDoFirebird() {
    if (const char* pasta = std::getenv("FIREBIRD_LOCK"); pasta != nullptr && *pasta != '\0')
        return pasta;
    return RaizDaSuite() / "firebird-lock";
}

void UsaPastaDeTravasDaSuite() {
    const std::filesystem::path pasta = PastaDeTravasDoFirebird();
    std::error_code ignorado;
    std::filesystem::create_directories(pasta, ignorado);
    ::setenv("FIREBIRD_LOCK", pasta.c_str(), 0);
}

} // namespace olvendra
