#include "endereco_do_banco.h"

#include "admin_commands.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <regex>
#include <termios.h>
#include <unistd.h>

namespace olvendra::admin {

namespace {

// The password typed on the terminal, without echo.
std::string AskPassword(const std::string& user, const std::string& host) {
    if (!isatty(STDIN_FILENO)) {
        throw AdminError("Defina ISC_PASSWORD com a senha de " + user +
                         " para usar o banco de dados no servidor " + host);
    }
    std::cerr << "Senha de " << user << " no servidor " << host << ": " << std::flush;
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string password;
    std::getline(std::cin, password);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    std::cerr << '\n';
    return password;
}

} // namespace

bool IsServerAddress(const std::string& database) {
    // A host name or address, an optional port, a colon, then the path on the server.
    static const std::regex address(R"(^[A-Za-z0-9][A-Za-z0-9._-]*(/[0-9]{1,5})?:.+$)");
    return std::regex_match(database, address);
}

data::ConnectionSettings SettingsFor(const std::filesystem::path& database) {
    data::ConnectionSettings settings;
    settings.database = database.string();
    if (!IsServerAddress(settings.database)) {
        return settings;
    }
    const char* user = std::getenv("ISC_USER");
    if (user && *user) {
        settings.userName = user;
    }
    const std::string host = settings.database.substr(0, settings.database.find(':'));
    // Asked once: every command may connect more than once.
    static std::optional<std::string> typed;
    if (const char* password = std::getenv("ISC_PASSWORD"); password && *password) {
        settings.password = password;
    } else {
        if (!typed) {
            typed = AskPassword(settings.userName, host);
        }
        settings.password = *typed;
    }
    return settings;
}

void RequireDatabase(const std::filesystem::path& database) {
    if (IsServerAddress(database.string())) {
        return;
    }
    std::error_code error;
    if (std::filesystem::is_regular_file(database, error)) {
        return;
    }
    // A folder closed to this user is not a missing database: creating it again would be wrong.
    if (error == std::errc::permission_denied) {
        throw AdminError("Sem permissão para abrir o banco de dados " + database.string() +
                         ": o usuário precisa pertencer ao grupo da pasta do banco de dados");
    }
    throw AdminError("O banco de dados " + database.string() + " não existe; crie-o com init-db");
}

} // namespace olvendra::admin
