#include "admin_commands.h"

#include "config/texto.h"
#include "demo_data.h"
#include "login/codifica.h"
#include "query.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace olvendra::admin {
namespace {

using data::testing::Query;

class AdminTest : public ::testing::Test {
protected:
    void SetUp() override { InitDb(database); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::vector<std::vector<std::string>> query(const std::string& sql) {
        data::ConnectionSettings settings;
        settings.database = database.string();
        return Query(settings, sql);
    }

    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("olvendra-admin-" + std::to_string(getpid()));
    std::filesystem::path database = folder / "dados" / "olvendra.bd";
};

TEST_F(AdminTest, InitDbCreatesTheSchemaAndRefusesAnExistingFile) {
    auto columns =
        query("select trim(r.RDB$FIELD_NAME), f.RDB$FIELD_LENGTH, f.RDB$CHARACTER_SET_ID "
              "from RDB$RELATION_FIELDS r join RDB$FIELDS f on f.RDB$FIELD_NAME = "
              "r.RDB$FIELD_SOURCE where r.RDB$RELATION_NAME = 'MEDICOS' order by "
              "r.RDB$FIELD_POSITION");
    ASSERT_EQ(columns.size(), 22u);
    EXPECT_EQ(columns[0], (std::vector<std::string>{"CRM", "10", "53"}));
    EXPECT_EQ(columns[14], (std::vector<std::string>{"OBSERVACAO", "250", "53"}));
    EXPECT_EQ(query("select count(*) from RDB$INDICES where RDB$RELATION_NAME in ('MEDICOS', "
                    "'USUARIOS', 'ESTACOES', 'ESPECIALIDADES') and RDB$SYSTEM_FLAG = 0")[0][0],
              "6");
    EXPECT_EQ(query("select cast(RDB$EXPRESSION_SOURCE as varchar(100)) from RDB$INDICES where "
                    "RDB$INDEX_NAME = "
                    "'IDX_MEDICOS_NOME_PTBR'"),
              (std::vector<std::vector<std::string>>{{"(NOME collate WIN_PTBR)"}}));
    EXPECT_THROW(InitDb(database), AdminError);
}

TEST_F(AdminTest, UsersAreStoredInTheirEncodedUpperCaseForm) {
    AddUser(database, "joão", "abc", "SSSO");
    auto rows = query("select USUARIO, SENHA, ACESSO from USUARIOS");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Codifica(Utf8ParaWin1252("JOãO")));
    EXPECT_EQ(rows[0][1], Codifica("ABC"));
    EXPECT_EQ(rows[0][2], "SSSO");
}

TEST_F(AdminTest, BadInputIsRefusedAndLeavesNothingBehind) {
    AddUser(database, "MARIA", "1", "x");
    struct Case {
        const char* what;
        std::function<void()> command;
    } cases[] = {
        {"duplicate user", [&] { AddUser(database, "maria", "2", "x"); }},
        {"name over 15", [&] { AddUser(database, std::string(16, 'A'), "1", "x"); }},
        {"password over 6", [&] { AddUser(database, "ANA", "1234567", "x"); }},
        {"unrepresentable", [&] { AddUser(database, "ANA\xE2\x82\xBF", "1", "x"); }},
        {"work-area code over 3", [&] { AddWorkArea(database, "ABCD", "ana", "x"); }},
        {"empty specialty", [&] { AddSpecialty(database, ""); }},
        {"missing database", [&] { AddSpecialty(folder / "none.bd", "X"); }},
        {"seed over data", [&] { SeedDemo(database); }},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(c.command(), AdminError) << c.what;
    }
    EXPECT_EQ(query("select count(*) from USUARIOS")[0][0], "1");
    EXPECT_EQ(query("select count(*) from ESTACOES")[0][0], "0");
    EXPECT_FALSE(std::filesystem::exists(folder / "none.bd"));
}

TEST_F(AdminTest, SpecialtiesGetTheNextCode) {
    EXPECT_EQ(AddSpecialty(database, "Cardiologia"), 1);
    EXPECT_EQ(AddSpecialty(database, "Nutrição"), 2);
    EXPECT_THROW(AddSpecialty(database, "Nutrição"), AdminError);
    EXPECT_EQ(query("select ESPECIALIDADE from ESPECIALIDADES where CODIGO_ESPEC = 2")[0][0],
              "Nutri\xE7\xE3o");
}

TEST_F(AdminTest, SeedDemoFillsARealisticDatabase) {
    SeedDemo(database);
    EXPECT_GE(std::stoi(query("select count(*) from MEDICOS")[0][0]), 300);
    EXPECT_GE(std::stoi(query("select count(*) from ESPECIALIDADES")[0][0]), 40);
    EXPECT_GE(std::stoi(query("select count(distinct CONSELHOPROFISSIONAL) from MEDICOS")[0][0]),
              4);
    EXPECT_GE(std::stoi(query("select count(*) from (select CRM from MEDICOS group by CRM having "
                              "count(*) > 1)")[0][0]),
              2);
    EXPECT_EQ(query("select count(*) from MEDICOS where NOME similar to '%[^ -~]%'")[0][0] == "0",
              false)
        << "names carry accents";
    for (const DemoUser& user : DemoUsers) {
        auto rows =
            query("select ACESSO from USUARIOS where USUARIO = '" + Codifica(user.name) + "'");
        ASSERT_EQ(rows.size(), 1u) << user.name;
        bool passes =
            rows[0][0].size() >= 4 && static_cast<unsigned char>(rows[0][0][3] - 5) == user.name[0];
        EXPECT_EQ(passes, user.passesAccessTest) << user.name;
    }
    EXPECT_EQ(query("select count(*) from ESTACOES where upper(USUARIO) = 'JOAO'")[0][0], "0");
}

TEST(AdminEncoding, CodificaOfUtf8Text) {
    EXPECT_EQ(EncodeText("abc"), "BLBDAL");
    EXPECT_EQ(EncodeText("ÁÉ"), "EOAO");
    EXPECT_THROW(EncodeText("€\xF0\x9F\x98\x80"), AdminError);
    EXPECT_EQ(AccessFor("maria"), "SSSR");
}

} // namespace
} // namespace olvendra::admin
