#include "config/caminhos.h"

#include <cstdlib>

namespace olvendra {

std::filesystem::path RaizDaSuite() {
    const char* const raiz = std::getenv("OLVENDRA_DIR");
    if (raiz == nullptr || *raiz == '\0') {
        return "/opt/olvendra";
    }
    return raiz;
}

std::filesystem::path DiretorioDoPrograma() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace olvendra
