// The search statements run against a real database: the LIKE semantics of the typed text (its
// wildcards included) are kept, and no text can break the statement.

#include "registry/comandos_de_pesquisa.h"

#include "config/texto.h"
#include "embedded_database.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace olvendra::registry {
namespace {

using data::testing::EmbeddedDatabase;

constexpr const char* Campos = "CRM, ESPECIALIDADE, NOME";

// The values of one column of every row the statement returns, in order.
std::vector<std::string> Coluna(const data::ConnectionSettings& banco, const Comando& comando,
                                std::size_t coluna) {
    struct Coleta : data::RowSink {
        std::size_t coluna = 0;
        std::vector<std::string> valores;
        void columns(const std::vector<data::Column>&) override {}
        void row(const std::string_view* valores_, const bool*) override {
            valores.emplace_back(valores_[coluna]);
        }
    } coleta;
    coleta.coluna = coluna;
    data::Connection conexao(banco);
    conexao.select(comando.sql, comando.parametros, coleta);
    return coleta.valores;
}

class ComandosDePesquisa : public ::testing::Test {
protected:
    void SetUp() override {
        banco.run({
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('10', 'A', 'Maria da Silva')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('11', 'A', 'Mario Souza')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('12', 'A', 'Ana Maria Costa')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('1''2', 'A', 'Abel Reis')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('2_0', 'A', 'Bruno 50% Lima')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('200', 'A', 'Bruno 500')",
            "insert into MEDICOS (CRM, ESPECIALIDADE) values ('300', 'A')",
        });
    }
    std::vector<std::string> porNome(const std::string& texto) {
        return Coluna(banco.settings(), ComandoPorNome(Campos, Utf8ParaWin1252(texto)), 2);
    }
    std::vector<std::string> porCRM(const std::string& texto) {
        return Coluna(banco.settings(), ComandoPorCRM(Campos, texto), 0);
    }
    EmbeddedDatabase banco;
};

TEST_F(ComandosDePesquisa, NameIsAPrefixOrderedByNameAndNumber) {
    EXPECT_EQ(porNome("Mari"), (std::vector<std::string>{"Maria da Silva", "Mario Souza"}));
    EXPECT_EQ(porNome("Maria da Silva"), (std::vector<std::string>{"Maria da Silva"}));
    EXPECT_EQ(porNome("MARIA DA"), (std::vector<std::string>{"Maria da Silva"}));
    EXPECT_EQ(porNome("Zé"), std::vector<std::string>{});
}

TEST_F(ComandosDePesquisa, TypedWildcardsStayWildcards) {
    EXPECT_EQ(porNome("%Maria"), (std::vector<std::string>{"Ana Maria Costa", "Maria da Silva"}));
    EXPECT_EQ(porNome("Mari_ "), (std::vector<std::string>{"Maria da Silva", "Mario Souza"}));
    EXPECT_EQ(porNome("Bruno 50%"), (std::vector<std::string>{"Bruno 50% Lima", "Bruno 500"}));
    EXPECT_EQ(porCRM("2_0"), (std::vector<std::string>{"200", "2_0"}));
    EXPECT_EQ(porCRM("_0"), (std::vector<std::string>{"10", "200", "300"}));
}

TEST_F(ComandosDePesquisa, AnEmptyTextListsEveryNamedProfessional) {
    EXPECT_EQ(porNome("").size(), 6u) << "a null name matches no LIKE pattern";
    EXPECT_EQ(porCRM("").size(), 7u);
}

TEST_F(ComandosDePesquisa, AnApostropheIsJustACharacterOfTheNumber) {
    EXPECT_EQ(porCRM("1'"), (std::vector<std::string>{"1'2"}));
    EXPECT_EQ(porCRM("'; delete from MEDICOS; --"), std::vector<std::string>{});
    EXPECT_EQ(porCRM("").size(), 7u);
}

TEST_F(ComandosDePesquisa, TextsLongerThanTheColumnFindNothingWithoutAnError) {
    EXPECT_EQ(porNome(std::string(300, 'M')), std::vector<std::string>{});
    EXPECT_EQ(porCRM(std::string(300, '1')), std::vector<std::string>{});
}

TEST_F(ComandosDePesquisa, CaseAndAccentsDoNotMatterToTheName) {
    banco.run({
        Utf8ParaWin1252("insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('20', 'A', "
                        "'João da Silva')"),
        Utf8ParaWin1252("insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('21', 'A', "
                        "'JOÃO Pereira')"),
        "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('22', 'A', 'Joao Souza')",
        Utf8ParaWin1252("insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('23', 'A', "
                        "'Maria da Conceição')"),
        "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('24', 'A', 'Joana Reis')",
    });
    const std::vector<std::string> joaos = {Utf8ParaWin1252("João da Silva"),
                                            Utf8ParaWin1252("JOÃO Pereira"), "Joao Souza"};
    for (const char* digitado : {"joao", "JOAO", "Joao", "joão", "JOÃO", "jóão"}) {
        EXPECT_EQ(porNome(digitado), joaos) << digitado;
    }
    EXPECT_EQ(porNome("joao da"), (std::vector<std::string>{joaos[0]}));
    EXPECT_EQ(porNome("%conceicao"),
              (std::vector<std::string>{Utf8ParaWin1252("Maria da Conceição")}));
    EXPECT_EQ(porNome("jo_o p"), (std::vector<std::string>{joaos[1]}))
        << "a typed wildcard stands for an accented letter too";
}

TEST_F(ComandosDePesquisa, NamesReadInDictionaryOrder) {
    banco.run({"delete from MEDICOS"});
    const std::vector<std::string> dicionario = {"Álvaro Lima", "alvaro Lima",  "Bruno Reis",
                                                 "Sérgio Dias", "Simone Costa", "Tânia Melo",
                                                 "Tiago Rocha", "Zuleica Prado"};
    // Inserted in byte order, which is not the dictionary's.
    std::vector<std::string> emBytes;
    for (const std::string& nome : dicionario) {
        emBytes.push_back(Utf8ParaWin1252(nome));
    }
    std::sort(emBytes.begin(), emBytes.end());
    int crm = 1;
    for (const std::string& nome : emBytes) {
        banco.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('" +
                   std::to_string(crm++) + "', 'A', '" + nome + "')"});
    }
    std::vector<std::string> esperado;
    for (const std::string& nome : dicionario) {
        esperado.push_back(Utf8ParaWin1252(nome));
    }
    // "Álvaro" went in last (byte order), so it has the higher number and comes after "alvaro".
    std::swap(esperado[0], esperado[1]);
    EXPECT_EQ(Coluna(banco.settings(), ComandoCompleto(Campos), 2), esperado);
    EXPECT_EQ(porNome(""), esperado);
}

TEST_F(ComandosDePesquisa, ThePlanReadsTheIndexOfTheNameInPortuguese) {
    data::Connection conexao(banco.settings());
    const std::string porNomePlano = conexao.plan(ComandoPorNome(Campos, "Maria").sql);
    EXPECT_NE(porNomePlano.find("IDX_MEDICOS_NOME_PTBR"), std::string::npos) << porNomePlano;
    EXPECT_EQ(porNomePlano.find("NATURAL"), std::string::npos) << porNomePlano;
}

TEST_F(ComandosDePesquisa, WithoutTheIndexTheResultsAreTheSame) {
    std::vector<std::vector<std::string>> antes;
    for (const char* digitado : {"mari", "%maria", "", "bruno 50%"}) {
        antes.push_back(porNome(digitado));
    }
    banco.run({"drop index IDX_MEDICOS_NOME_PTBR"});
    data::Connection conexao(banco.settings());
    EXPECT_EQ(conexao.plan(ComandoPorNome(Campos, "Maria").sql).find("IDX_MEDICOS_NOME_PTBR"),
              std::string::npos);
    std::size_t i = 0;
    for (const char* digitado : {"mari", "%maria", "", "bruno 50%"}) {
        EXPECT_EQ(porNome(digitado), antes[i++]) << digitado;
    }
}

TEST_F(ComandosDePesquisa, TheFullListIsOrderedByNameThenNumber) {
    for (const char* separador : {", ", ","}) {
        const Comando comando = ComandoCompleto(Campos, separador);
        EXPECT_TRUE(comando.parametros.empty());
        EXPECT_EQ(Coluna(banco.settings(), comando, 0),
                  (std::vector<std::string>{"300", "1'2", "12", "2_0", "200", "10", "11"}));
    }
}

} // namespace
} // namespace olvendra::registry
