#include "dm.h"

#include "config/erro_inesperado.h"

#include <fstream>

namespace olvendra::data {

namespace {

constexpr std::size_t LocationLineLimit = 100;
constexpr const char* ClientLibraryName = "libfbclient.so.2";

// The directory named by the first line of CaminhoGDS.txt, at most 100 characters; empty when the
// file is missing or its first line is empty. Throws when the file exists but cannot be read.
std::string ClientLibraryDirectory(const std::filesystem::path& locationFile) {
    std::error_code ignored;
    if (!std::filesystem::exists(locationFile, ignored))
        return {};
    std::ifstream file(locationFile, std::ios::binary);
    std::string line;
    if (!file || (!std::getline(file, line) && !file.eof()) || file.bad())
        throw std::ios_base::failure("Unable to read " + locationFile.string());
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
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
            if (directory.back() != '/')
                directory += '/';
            settings.clientLibrary = directory + ClientLibraryName;
        }
    } catch (...) {
        TrataErroInesperado(std::current_exception());
        return;
    }
    SQLConnection1.close();
    if (!servidorCentral.empty())
        settings.database = servidorCentral + ":" + settings.database;
    SQLConnection1.setSettings(settings);
}

} // namespace olvendra::data
