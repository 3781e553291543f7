#include "dm.h"

#include "config/erro_inesperado.h"
#include "config/falha_de_arquivo.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace olvendra::data {

namespace {

constexpr std::size_t LocationLineLimit = 100;
constexpr const char* ClientLibraryName = "libfbclient.so.2";

// The directory named by the first line of CaminhoGDS.txt, at most 100 characters; empty when the
// file is missing or its first line is empty. Only as much of the file is read as can count: the
// 100 characters and the one after them, which tells whether a carriage return ends the line.
// Throws EInOutError when the file exists but cannot be read.
std::string ClientLibraryDirectory(const std::filesystem::path& locationFile) {
    std::error_code ignored;
    if (!std::filesystem::exists(locationFile, ignored)) {
        return {};
    }
    const int descriptor = ::open(locationFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        FalhaDeArquivo("abrir", locationFile, errno);
    }
    char start[LocationLineLimit + 1];
    std::size_t got = 0;
    while (got < sizeof start) {
        const ssize_t read = ::read(descriptor, start + got, sizeof start - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            const int error = errno;
            ::close(descriptor);
            FalhaDeArquivo("ler", locationFile, error);
        }
        if (read == 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    ::close(descriptor);
    std::string line(start, got);
    // A carriage return right before the line feed, or before the end of a short file, is not
    // part of the line.
    const auto end = line.find('\n');
    if (end != std::string::npos) {
        line.resize(end);
    }
    if ((end != std::string::npos || got < sizeof start) && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line.substr(0, LocationLineLimit);
}

} // namespace

TDM::TDM(const std::string& servidorCentral, const std::filesystem::path& suiteRoot)
    : MEDICOS(SQLConnection1, "MEDICOS", MedicosStatement, {"CRM", "ESPECIALIDADE"}),
      Usuarios(SQLConnection1, "Usuarios", UsuariosStatement, {"USUARIO"}),
      Estacoes(SQLConnection1, "Estacoes", "", {"ESTACAO"}),
      Espec(SQLConnection1, "Espec", EspecStatement, {"CODIGO_ESPEC"}) {
    MEDICOS.hooks().beforeOpen = [this] { Espec.open(); };
    MEDICOS.hooks().afterClose = [this] { Espec.close(); };

    // The value the connection holds until creation sets it: the suite's database, opened locally.
    ConnectionSettings settings;
    settings.database = (suiteRoot / "dados" / "olvendra.bd").string();
    SQLConnection1.setSettings(settings);
    try {
        std::string directory = ClientLibraryDirectory(suiteRoot / "CaminhoGDS.txt");
        if (!directory.empty()) {
            if (directory.back() != '/') {
                directory += '/';
            }
            settings.clientLibrary = directory + ClientLibraryName;
        }
    } catch (...) {
        TrataErroInesperado(std::current_exception());
        return;
    }
    SQLConnection1.close();
    if (!servidorCentral.empty()) {
        settings.database = servidorCentral + ":" + settings.database;
    }
    SQLConnection1.setSettings(settings);
}

} // namespace olvendra::data
