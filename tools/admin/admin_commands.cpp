#include "admin_commands.h"

#include "config/texto.h"
#include "connection.h"
#include "demo_data.h"
#include "endereco_do_banco.h"
#include "errors.h"
#include "login/codifica.h"
#include "schema.h"

#include <functional>

namespace olvendra::admin {

namespace {

// A UTF-8 argument as Windows-1252 text of at most `width` characters.
std::string ColumnText(const std::string& utf8, std::size_t width, const std::string& what) {
    std::string text;
    try {
        text = Utf8ParaWin1252(utf8);
    } catch (const ErroDeCodificacao& error) {
        throw AdminError(what + ": " + error.what());
    }
    if (text.size() > width) {
        throw AdminError(what + " \"" + utf8 + "\" tem mais de " + std::to_string(width) +
                         " caracteres");
    }
    return text;
}

// Runs `work` in one transaction on the database; any failure rolls everything back.
void InTransaction(const std::filesystem::path& database,
                   const std::function<void(data::Connection&)>& work) {
    RequireDatabase(database);
    data::Connection connection(SettingsFor(database));
    try {
        connection.startTransaction();
        work(connection);
        connection.commit();
    } catch (const data::DatabaseError& error) {
        connection.rollback();
        throw AdminError(error.what());
    } catch (...) {
        connection.rollback();
        throw;
    }
}

bool Exists(data::Connection& connection, const std::string& sql, const std::string& value) {
    struct Found : data::RowSink {
        bool any = false;
        void columns(const std::vector<data::Column>&) override {}
        void row(const std::string_view*, const bool*) override { any = true; }
    } found;
    connection.select(sql, {value}, found);
    return found.any;
}

} // namespace

void InitDb(const std::filesystem::path& database) {
    std::error_code ignored;
    const bool local = !IsServerAddress(database.string());
    if (local && std::filesystem::exists(database, ignored)) {
        throw AdminError("O banco de dados " + database.string() + " já existe");
    }
    if (local && database.has_parent_path()) {
        std::filesystem::create_directories(database.parent_path());
    }
    try {
        data::Connection::CreateDatabase(SettingsFor(database));
        data::Connection connection(SettingsFor(database));
        data::CreateSchema(connection);
    } catch (const data::DatabaseError& error) {
        // No half-made database is left behind for the program to trip over.
        if (local) {
            std::filesystem::remove(database, ignored);
        }
        throw AdminError(error.what());
    }
}

std::vector<std::string> UpgradeDb(const std::filesystem::path& database) {
    RequireDatabase(database);
    data::Connection connection(SettingsFor(database));
    try {
        return data::UpgradeSchema(connection);
    } catch (const data::DatabaseError& error) {
        throw AdminError(error.what());
    }
}

std::string EncodeText(const std::string& text) {
    return Codifica(ColumnText(text, std::string::npos, "O texto"));
}

std::string AccessFor(const std::string& name) {
    std::string initial = MaiusculasAZ(ColumnText(name, std::string::npos, "O nome de usuário"));
    if (initial.empty()) {
        throw AdminError("O nome de usuário está vazio");
    }
    return std::string("SSS") + static_cast<char>(static_cast<unsigned char>(initial[0]) + 5);
}

void AddUser(const std::filesystem::path& database, const std::string& name,
             const std::string& password, const std::string& access) {
    // The stored columns hold the encoding of at most 15 and 6 characters.
    std::string plainName = ColumnText(name, 15, "O nome de usuário");
    std::string plainPassword = ColumnText(password, 6, "A senha");
    std::string accessText = ColumnText(access, 100, "A cadeia de acesso");
    if (plainName.empty()) {
        throw AdminError("O nome de usuário está vazio");
    }
    std::string user = Codifica(MaiusculasAZ(plainName));
    std::string secret = Codifica(MaiusculasAZ(plainPassword));
    InTransaction(database, [&](data::Connection& connection) {
        if (Exists(connection, "select 1 from USUARIOS where USUARIO = ?", user)) {
            throw AdminError("O usuário \"" + name + "\" já existe");
        }
        connection.execute("insert into USUARIOS (USUARIO, SENHA, ACESSO) values (?, ?, ?)",
                           {user, secret.empty() ? data::Value{} : data::Value{secret},
                            accessText.empty() ? data::Value{} : data::Value{accessText}});
    });
}

void AddWorkArea(const std::filesystem::path& database, const std::string& code,
                 const std::string& user, const std::string& databasePath) {
    std::string codeText = ColumnText(code, 3, "O código da área de trabalho");
    std::string userText = ColumnText(user, 60, "O nome de usuário");
    std::string pathText =
        ColumnText(databasePath, 60, "O caminho do banco de dados da área de trabalho");
    if (codeText.empty()) {
        throw AdminError("O código da área de trabalho está vazio");
    }
    InTransaction(database, [&](data::Connection& connection) {
        if (Exists(connection, "select 1 from ESTACOES where ESTACAO = ?", codeText)) {
            throw AdminError("A área de trabalho \"" + code + "\" já existe");
        }
        connection.execute(
            "insert into ESTACOES (ESTACAO, USUARIO, DATBASNAM) values (?, ?, ?)",
            {codeText, userText, pathText.empty() ? data::Value{} : data::Value{pathText}});
    });
}

int AddSpecialty(const std::filesystem::path& database, const std::string& name) {
    std::string text = ColumnText(name, 50, "A especialidade");
    if (text.empty()) {
        throw AdminError("A especialidade está vazia");
    }
    int code = 0;
    InTransaction(database, [&](data::Connection& connection) {
        if (Exists(connection, "select 1 from ESPECIALIDADES where ESPECIALIDADE = ?", text)) {
            throw AdminError("A especialidade \"" + name + "\" já existe");
        }
        struct Max : data::RowSink {
            int value = 0;
            void columns(const std::vector<data::Column>&) override {}
            void row(const std::string_view* values, const bool* nulls) override {
                if (!nulls[0]) {
                    value = std::stoi(std::string(values[0]));
                }
            }
        } max;
        connection.select("select max(CODIGO_ESPEC) from ESPECIALIDADES", {}, max);
        code = max.value + 1;
        connection.execute("insert into ESPECIALIDADES (CODIGO_ESPEC, ESPECIALIDADE) values (?, ?)",
                           {std::to_string(code), text});
    });
    return code;
}

void SeedDemo(const std::filesystem::path& database) {
    InTransaction(database, [&](data::Connection& connection) {
        if (Exists(connection, "select first 1 1 from MEDICOS where CRM <> ?", "") ||
            Exists(connection, "select first 1 1 from USUARIOS where USUARIO <> ?", "")) {
            throw AdminError("O banco de dados " + database.string() +
                             " já tem dados; seed-demo só preenche um banco vazio");
        }
        InsertDemoData(connection);
    });
}

} // namespace olvendra::admin
