#include "config/travas_firebird.h"

#include "config/caminhos.h"

#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace olvendra {

namespace {

// Run by root, the engine gives its lock files to the system's firebird account, whose group the
// pharmacy's users need not belong to; in a folder shared through its group (set-group-ID) they
// go back to that group, so that the users can open the database after root has worked on it.
void DevolveTravasAoGrupoDaPasta() {
    const std::filesystem::path pasta = PastaDeTravasDoFirebird();
    struct stat dados_da_pasta {};
    if (::stat(pasta.c_str(), &dados_da_pasta) != 0 || (dados_da_pasta.st_mode & S_ISGID) == 0) {
        return;
    }
    std::error_code erro;
    for (const auto& entrada : std::filesystem::directory_iterator(pasta, erro)) {
        struct stat dados {};
        if (::lstat(entrada.path().c_str(), &dados) == 0 && dados.st_gid != dados_da_pasta.st_gid) {
            [[maybe_unused]] const int ignorado =
                ::lchown(entrada.path().c_str(), static_cast<uid_t>(-1), dados_da_pasta.st_gid);
        }
    }
}

} // namespace

std::filesystem::path PastaDeTravasDoFirebird() {
    if (const char* pasta = std::getenv("FIREBIRD_LOCK"); pasta != nullptr && *pasta != '\0') {
        return pasta;
    }
    return RaizDaSuite() / "firebird-lock";
}

void UsaPastaDeTravasDaSuite() {
    const mode_t mascara = ::umask(0);
    ::umask(mascara & ~(S_IRGRP | S_IWGRP));
    const std::filesystem::path pasta = PastaDeTravasDoFirebird();
    std::error_code ignorado;
    std::filesystem::create_directories(pasta, ignorado);
    ::setenv("FIREBIRD_LOCK", pasta.c_str(), 0);
    if (::geteuid() == 0) {
        std::atexit(DevolveTravasAoGrupoDaPasta);
    }
}

} // namespace olvendra
