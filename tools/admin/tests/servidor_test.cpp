// olvendra-admin on a database held by a real Firebird server on 127.0.0.1 while the program has
// it open: the commands go through the server, with the administrator's credentials from the
// environment or typed on a terminal.

#include "config/texto.h"
#include "embedded_database.h"
#include "query.h"
#include "record_set.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>

namespace olvendra::admin {
namespace {

using data::testing::EmbeddedDatabase;
using data::testing::Query;

std::string Servidor() {
    const char* root = std::getenv("OLVENDRA_TEST_SERVER_ROOT");
    if (!root) {
        throw std::runtime_error("OLVENDRA_TEST_SERVER_ROOT is not set");
    }
    std::ifstream portFile(std::string(root) + "/port");
    std::string port;
    portFile >> port;
    return "127.0.0.1/" + port;
}

struct Saida {
    int codigo;
    std::string texto; // stdout and stderr
};

Saida Shell(const std::string& comando) {
    FILE* processo = popen((comando + " 2>&1").c_str(), "r");
    Saida saida{-1, {}};
    std::array<char, 4096> bloco;
    while (std::size_t lidos = std::fread(bloco.data(), 1, bloco.size(), processo)) {
        saida.texto.append(bloco.data(), lidos);
    }
    const int estado = pclose(processo);
    saida.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return saida;
}

// The tool with only the credentials given in `ambiente`, and no terminal.
Saida Executa(const std::string& ambiente, const std::string& argumentos) {
    return Shell("env -u ISC_USER -u ISC_PASSWORD " + ambiente + " '" + OLVENDRA_ADMIN + "' " +
                 argumentos + " </dev/null");
}

class AdminNoServidor : public ::testing::Test {
protected:
    // The program's side: attached through the server, with the professionals open.
    void SetUp() override { medicos.open(); }
    std::string db() const { return "--db '" + banco.settings().database + "'"; }

    EmbeddedDatabase banco{Servidor()};
    data::Connection programa{banco.settings()};
    data::RecordSet medicos{programa,
                            "MEDICOS",
                            "select CRM, ESPECIALIDADE, NOME from MEDICOS order by NOME collate "
                            "WIN_PTBR, CRM",
                            {"CRM", "ESPECIALIDADE"}};
};

TEST_F(AdminNoServidor, CommandsRunWhileTheProgramHasTheDatabaseOpen) {
    Saida usuario = Executa("ISC_PASSWORD=masterkey", db() + " add-user ANA 12 SSSF");
    EXPECT_EQ(usuario.codigo, 0) << usuario.texto;
    EXPECT_EQ(Query(banco.settings(), "select count(*) from USUARIOS")[0][0], "1");

    const std::filesystem::path csv = banco.folder() / "p.csv";
    std::ofstream(csv, std::ios::binary) << "CRM;Conselho;UF;Especialidade;Nome do "
                                            "Profissional\r\n10;CRM;SP;Pediatria;João Reis\r\n";
    Saida importacao =
        Executa("ISC_USER=SYSDBA ISC_PASSWORD=masterkey", db() + " import-csv " + csv.string());
    EXPECT_EQ(importacao.codigo, 0) << importacao.texto;
    EXPECT_NE(importacao.texto.find("1 profissionais cadastrados."), std::string::npos);
    // The program sees the row at its next refresh.
    medicos.refresh();
    ASSERT_EQ(medicos.rowCount(), 1u);
    EXPECT_EQ(medicos.fieldText("NOME"), Utf8ParaWin1252("João Reis"));

    Saida atualizacao = Executa("ISC_PASSWORD=masterkey", db() + " upgrade-db");
    EXPECT_EQ(atualizacao.codigo, 0) << atualizacao.texto;
    EXPECT_NE(atualizacao.texto.find("já está atualizado"), std::string::npos);
}

TEST_F(AdminNoServidor, ThePasswordCanBeTypedOnTheTerminal) {
    // `script` gives the tool a terminal; the password goes in through it (the prompt turns the
    // terminal's echo off while it reads).
    Saida digitada =
        Shell("printf 'masterkey\\n' | env -u ISC_PASSWORD script -qec \"'" +
              std::string(OLVENDRA_ADMIN) + "' " + db() + " add-specialty Cardiologia\" /dev/null");
    if (digitada.texto.find("failed to create pseudo-terminal") != std::string::npos) {
        GTEST_SKIP() << "no pseudo-terminal can be opened here: " << digitada.texto;
    }
    EXPECT_EQ(digitada.codigo, 0) << digitada.texto;
    EXPECT_NE(digitada.texto.find("Senha de SYSDBA no servidor " + Servidor() + ": "),
              std::string::npos)
        << digitada.texto;
    EXPECT_EQ(Query(banco.settings(), "select ESPECIALIDADE from ESPECIALIDADES"),
              (std::vector<std::vector<std::string>>{{"Cardiologia"}}));
}

TEST_F(AdminNoServidor, MissingOrWrongCredentialsAreRefused) {
    Saida semSenha = Executa("", db() + " add-user ANA 12 SSSF");
    EXPECT_EQ(semSenha.codigo, 1);
    EXPECT_NE(semSenha.texto.find("olvendra-admin: Defina ISC_PASSWORD com a senha de SYSDBA"),
              std::string::npos)
        << semSenha.texto;
    Saida errada = Executa("ISC_PASSWORD=errada", db() + " add-user ANA 12 SSSF");
    EXPECT_EQ(errada.codigo, 1);
    EXPECT_NE(errada.texto.find("olvendra-admin: "), std::string::npos);
    EXPECT_EQ(Query(banco.settings(), "select count(*) from USUARIOS")[0][0], "0");
}

} // namespace
} // namespace olvendra::admin
