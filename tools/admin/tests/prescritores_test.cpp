// The prescriber files in and out of a real database, the upgrade of an older database and the
// birthdays of the month.

#include "admin_commands.h"
#include "config/texto.h"
#include "prescritores.h"
#include "query.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace olvendra::admin {
namespace {

using data::testing::Query;
using Linhas = std::vector<std::vector<std::string>>;

constexpr const char* TodasAsColunas =
    "select CRM, ESPECIALIDADE, NOME, ENDERECO, COMPLEMENTO, CEP, CIDADE, ESTADO, TELEFONES, "
    "QDEFORMULAS, VALORTOTAL, COMISSPERC, COMISSAO, DATAANIVERSARIO, OBSERVACAO, E_MAIL, "
    "NOME_SECRETARIA, ANIV_SECRETARIA, ATENDENTE, REPRESENTANTE, CONSELHOPROFISSIONAL, "
    "UFCONSELHO from MEDICOS order by CRM, ESPECIALIDADE";

const std::string Cabecalho = "CRM;CONSELHOPROFISSIONAL;UFCONSELHO;ESPECIALIDADE;NOME;"
                              "DATAANIVERSARIO;COMISSPERC;OBSERVACAO\r\n";

class Prescritores : public ::testing::Test {
protected:
    void SetUp() override { InitDb(banco); }
    void TearDown() override { std::filesystem::remove_all(pasta); }

    Linhas consulta(const std::string& sql, const std::filesystem::path& qual = {}) {
        data::ConnectionSettings settings;
        settings.database = (qual.empty() ? banco : qual).string();
        return Query(settings, sql);
    }
    void executa(const std::string& sql) {
        data::ConnectionSettings settings;
        settings.database = banco.string();
        data::Connection conexao(settings);
        conexao.startTransaction();
        conexao.execute(sql, {});
        conexao.commit();
    }
    std::filesystem::path arquivo(const std::string& nome, const std::string& bytes) {
        std::filesystem::path caminho = pasta / nome;
        std::ofstream(caminho, std::ios::binary) << bytes;
        return caminho;
    }
    static std::string Conteudo(const std::filesystem::path& caminho) {
        std::ifstream entrada(caminho, std::ios::binary);
        return {std::istreambuf_iterator<char>(entrada), {}};
    }
    ResultadoDaImportacao importa(const std::filesystem::path& csv, bool simulacao = false,
                                  bool formataNome = false) {
        return ImportaCsv(banco, csv, {simulacao, formataNome});
    }

    std::filesystem::path pasta =
        std::filesystem::temp_directory_path() / ("olvendra-csv-" + std::to_string(getpid()));
    std::filesystem::path banco = pasta / "dados" / "olvendra.bd";
};

TEST_F(Prescritores, ExportThenImportIntoAnEmptyDatabaseGivesTheSameRows) {
    SeedDemo(banco);
    // Values a file must carry unchanged: separators, quotes, line breaks in the notes, blanks at
    // both ends, decimals, every Windows-1252 letter of a name.
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, OBSERVACAO, COMPLEMENTO, COMISSPERC, "
            "VALORTOTAL, QDEFORMULAS, CONSELHOPROFISSIONAL, UFCONSELHO, DATAANIVERSARIO) values "
            "('99;1', 'Pediatria', '\xC1lvaro \"Z\xE9\" N\xFA\xF1"
            "ez', 'linha 1' || ascii_char(13) "
            "|| ascii_char(10) || 'linha 2; \"fim\"', '  sala 2 ', -0.05, 1234567.89, -7, 'CRM', "
            "'SP', '29/02')");
    const Linhas antes = consulta(TodasAsColunas);
    const std::filesystem::path csv = pasta / "medicos.csv";
    EXPECT_EQ(ExportaCsv(banco, csv), antes.size());
    EXPECT_EQ(Conteudo(csv).substr(0, 7), "\xEF\xBB\xBF"
                                          "CRM;");

    const std::filesystem::path vazio = pasta / "vazio.bd";
    InitDb(vazio);
    const ResultadoDaImportacao resultado = ImportaCsv(vazio, csv, {});
    EXPECT_EQ(resultado.motivos, std::vector<std::string>{});
    EXPECT_TRUE(resultado.gravou);
    EXPECT_EQ(resultado.validas, antes.size());
    EXPECT_EQ(consulta(TodasAsColunas, vazio), antes);
    const std::filesystem::path deNovo = pasta / "de-novo.csv";
    ExportaCsv(vazio, deNovo);
    EXPECT_EQ(Conteudo(deNovo), Conteudo(csv));
}

TEST_F(Prescritores, EveryEncodingAndEitherHeaderImportTheSameRows) {
    const std::string utf8 = "CRM;Conselho;uf;Especialidade;nome do profissional;Observação;"
                             "E-MAIL;Comissão %\r\n"
                             "10;CRM;SP;Pediatria;João da Conceição;Ótimo; ana@x.br ;12,5\r\n"
                             "11;cro;rj;Odontologia;Zé Muñoz;;;3.25\r\n";
    const std::string win1252 = Utf8ParaWin1252(utf8);
    const Linhas esperado = {
        {"10", "Pediatria", "Jo\xE3o da Concei\xE7\xE3o", "CRM", "SP", "\xD3timo", " ana@x.br ",
         "12.5"},
        {"11", "Odontologia", "Z\xE9 Mu\xF1oz", "CRO", "RJ", "null", "null", "3.25"}};
    struct Caso {
        const char* oque;
        std::string bytes;
    } casos[] = {
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8},
        {"UTF-8", utf8},
        {"Windows-1252", win1252},
    };
    for (const Caso& caso : casos) {
        executa("delete from MEDICOS");
        const ResultadoDaImportacao resultado = importa(arquivo("x.csv", caso.bytes));
        EXPECT_EQ(resultado.motivos, std::vector<std::string>{}) << caso.oque;
        EXPECT_EQ(consulta("select CRM, ESPECIALIDADE, NOME, CONSELHOPROFISSIONAL, UFCONSELHO, "
                           "OBSERVACAO, E_MAIL, COMISSPERC from MEDICOS order by CRM"),
                  esperado)
            << caso.oque;
    }
}

TEST_F(Prescritores, AnyRefusedRowWritesNothingAndEachIsNamed) {
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('500', 'Pediatria', 'Ana')");
    const std::string csv = Cabecalho +
                            "1;CRM;SP;Pediatria;Maria da Silva;10/05;5;ok\r\n" // 2: valid
                            ";CRM;SP;Pediatria;Sem Registro;;;\r\n"            // 3
                            "3;CRX;SP;Pediatria;Conselho Errado;;;\r\n"        // 4
                            "4;CRM;XX;Pediatria;Estado Errado;;;\r\n"          // 5
                            "5;CRM;SP;Pediatria;Data Errada;31/02;;\r\n"       // 6
                            "6;CRM;SP;Pediatria;" +
                            std::string(41, 'N') +
                            ";;;\r\n"                                       // 7
                            "1;CRM;SP;Pediatria;Repetido;;;\r\n"            // 8
                            "500;CRM;SP;Pediatria;Ja Cadastrado;;;\r\n"     // 9
                            "9;CRM;SP;Pediatria;Numero Errado;;12,3,4;\r\n" // 10
                            "10;CRM;SP\r\n"                                 // 11
                            "11;CRM;SP;Pediatria;Grego \xCE\xA9;;;\r\n"     // 12
                            "12;;;;;;;\r\n";                                // 13
    const ResultadoDaImportacao resultado = importa(arquivo("erros.csv", csv));
    EXPECT_FALSE(resultado.gravou);
    EXPECT_EQ(resultado.validas, 1u);
    EXPECT_EQ(resultado.recusadas, 11u);
    const std::vector<std::string> esperado = {
        "linha 3, coluna CRM: campo \"Nº Registro\" não foi preenchido",
        "linha 4, coluna CONSELHOPROFISSIONAL: \"CRX\" não é um conselho da lista (CRM, CRMV, "
        "CRO, CRN, CRF, COREN, CREFITO, RMS, OUTROS)",
        "linha 5, coluna UFCONSELHO: \"XX\" não é a sigla de um estado brasileiro",
        "linha 6, coluna DATAANIVERSARIO: \"31/02\" não é um dia e mês na forma dd/mm",
        "linha 7, coluna NOME: o texto tem 41 caracteres; a coluna aceita 40",
        "linha 8, coluna CRM: o CRM 1 com a especialidade Pediatria já aparece na linha 2",
        "linha 9, coluna CRM: o CRM 500 com a especialidade Pediatria já está cadastrado no "
        "banco de dados",
        "linha 10, coluna COMISSPERC: \"12,3,4\" não é um número com até 2 casas decimais que a "
        "coluna aceite",
        "linha 11, coluna -: a linha tem 3 campos; o cabeçalho tem 8",
        "linha 12, coluna NOME: o texto tem um caractere que o Windows-1252 não representa",
        "linha 13, coluna CONSELHOPROFISSIONAL: campo \"Conselho\" não foi preenchido",
        "linha 13, coluna UFCONSELHO: campo \"UF\" não foi preenchido",
        "linha 13, coluna ESPECIALIDADE: campo \"Especialidade\" não foi preenchido",
        "linha 13, coluna NOME: campo \"Nome do Profissional\" não foi preenchido",
    };
    EXPECT_EQ(resultado.motivos, esperado);
    EXPECT_EQ(consulta("select CRM from MEDICOS"), (Linhas{{"500"}}));
}

TEST_F(Prescritores, QuotedFieldsLineBreaksAndBrokenQuotes) {
    const std::string csv = Cabecalho +
                            "\"1;2\";CRM;SP;Pediatria;\"Ana\r\nLima\";;;\"nota \"\"A\"\"\r\n"
                            "segunda linha\"\r\n";
    ASSERT_TRUE(importa(arquivo("q.csv", csv)).gravou);
    EXPECT_EQ(consulta("select CRM, NOME, OBSERVACAO from MEDICOS"),
              (Linhas{{"1;2", "Ana  Lima", "nota \"A\"\r\nsegunda linha"}}))
        << "a one-line field takes blanks for the line break, the notes keep it";

    const ResultadoDaImportacao quebrado =
        importa(arquivo("b.csv", Cabecalho + "2;CRM;SP;Pediatria;Bia;;;ok\r\n"
                                             "3;CRM;SP;Pediatria;\"Caio;;;\r\n"));
    EXPECT_FALSE(quebrado.gravou);
    EXPECT_EQ(quebrado.motivos,
              (std::vector<std::string>{
                  "linha 3, coluna -: as aspas abertas nesta linha não foram fechadas"}));
    EXPECT_EQ(consulta("select count(*) from MEDICOS"), (Linhas{{"1"}}));
}

TEST_F(Prescritores, AHeaderThatNamesNoColumnIsRefused) {
    struct Caso {
        std::string conteudo;
        std::string mensagem;
    } casos[] = {
        {"CRM;Apelido\r\n1;x\r\n", "linha 1, coluna \"Apelido\": não é uma coluna de MEDICOS "
                                   "nem um rótulo do cadastro"},
        {"CRM;crm\r\n", "linha 1, coluna \"crm\": a coluna CRM aparece duas vezes no cabeçalho"},
        {"CRM;Conselho;UF;NOME\r\n1;CRM;SP;Ana\r\n",
         "linha 1: falta no cabeçalho a coluna obrigatória ESPECIALIDADE (\"Especialidade\")"},
        {"", "O arquivo está vazio: falta a linha de cabeçalho com os nomes das colunas"},
        {"\"CRM;NOME\r\n", "linha 1: as aspas abertas nesta linha não foram fechadas"},
    };
    for (const Caso& caso : casos) {
        try {
            importa(arquivo("h.csv", caso.conteudo));
            ADD_FAILURE() << caso.conteudo;
        } catch (const AdminError& erro) {
            EXPECT_EQ(std::string(erro.what()), caso.mensagem);
        }
    }
    EXPECT_THROW(importa(pasta / "nao-existe.csv"), AdminError);
}

TEST_F(Prescritores, DryRunChecksAndWritesNothing) {
    const std::filesystem::path csv =
        arquivo("d.csv", Cabecalho + "1;CRM;SP;Pediatria;ana maria de souza lima;;;\r\n");
    const ResultadoDaImportacao simulado = importa(csv, true);
    EXPECT_EQ(simulado.validas, 1u);
    EXPECT_FALSE(simulado.gravou);
    EXPECT_EQ(consulta("select count(*) from MEDICOS"), (Linhas{{"0"}}));
    EXPECT_TRUE(importa(csv, false, true).gravou);
    EXPECT_EQ(consulta("select NOME from MEDICOS"), (Linhas{{"Ana Maria S. Lima"}}))
        << "FormataNome when the configuration asks for it";
}

TEST_F(Prescritores, UpgradeAddsTheIndexOnceAndTouchesNothingElse) {
    SeedDemo(banco);
    // A database of an older suite: the same schema without the index on the name in Portuguese.
    executa("drop index IDX_MEDICOS_NOME_PTBR");
    const std::string indices =
        "select trim(RDB$INDEX_NAME), trim(RDB$RELATION_NAME), RDB$UNIQUE_FLAG, RDB$SEGMENT_COUNT "
        "from RDB$INDICES where RDB$SYSTEM_FLAG = 0 order by 1";
    const std::string colunas =
        "select trim(r.RDB$RELATION_NAME), trim(r.RDB$FIELD_NAME), f.RDB$FIELD_TYPE, "
        "f.RDB$FIELD_LENGTH, f.RDB$CHARACTER_SET_ID, coalesce(r.RDB$COLLATION_ID, -1) from "
        "RDB$RELATION_FIELDS r join RDB$FIELDS f on f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE where "
        "r.RDB$SYSTEM_FLAG = 0 order by 1, 2";
    const Linhas indicesAntes = consulta(indices);
    const Linhas colunasAntes = consulta(colunas);
    const Linhas dadosAntes = consulta(TodasAsColunas);

    EXPECT_EQ(UpgradeDb(banco), std::vector<std::string>{"IDX_MEDICOS_NOME_PTBR"});
    EXPECT_EQ(UpgradeDb(banco), std::vector<std::string>{}) << "a second run adds nothing";

    Linhas indicesDepois = consulta(indices);
    auto novo = std::find(indicesDepois.begin(), indicesDepois.end(),
                          std::vector<std::string>{"IDX_MEDICOS_NOME_PTBR", "MEDICOS", "0", "0"});
    ASSERT_NE(novo, indicesDepois.end());
    indicesDepois.erase(novo);
    EXPECT_EQ(indicesDepois, indicesAntes);
    EXPECT_EQ(consulta(colunas), colunasAntes);
    EXPECT_EQ(consulta(TodasAsColunas), dadosAntes);
    EXPECT_THROW(UpgradeDb(pasta / "nao-existe.bd"), AdminError);
}

TEST_F(Prescritores, BirthdaysOfTheMonthByDayThenName) {
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, DATAANIVERSARIO, TELEFONES, E_MAIL, "
            "NOME_SECRETARIA, ANIV_SECRETARIA) values ('1', 'A', 'Zilda Reis', '05/03', "
            "'(11) 1111-1111', 'zilda@x.br', '\xC1urea Lima', '05/03')");
    // The same professional under a second specialty is listed once.
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, DATAANIVERSARIO, TELEFONES, E_MAIL) "
            "values ('1', 'B', 'Zilda Reis', '05/03', '(11) 1111-1111', 'zilda@x.br')");
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, DATAANIVERSARIO, TELEFONES) values "
            "('2', 'A', '\xC9rico Dias', '20/03', '(21) 2222')");
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, DATAANIVERSARIO, NOME_SECRETARIA, "
            "ANIV_SECRETARIA) values ('3', 'A', 'Bruno Melo', '01/03', 'Carla', '01/04')");
    executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, DATAANIVERSARIO) values ('4', 'A', "
            "'Ana Costa', '15/12')");

    std::ostringstream csv;
    Aniversariantes(banco, 3, true, csv);
    EXPECT_EQ(csv.str(), "Dia;Nome;Vínculo;Profissional;Telefones;E-mail\r\n"
                         "01/03;Bruno Melo;Profissional;Bruno Melo;;\r\n"
                         "05/03;Áurea Lima;Secretária;Zilda Reis;(11) 1111-1111;zilda@x.br\r\n"
                         "05/03;Zilda Reis;Profissional;Zilda Reis;(11) 1111-1111;zilda@x.br\r\n"
                         "20/03;Érico Dias;Profissional;Érico Dias;(21) 2222;\r\n");
    std::ostringstream texto;
    Aniversariantes(banco, 4, false, texto);
    EXPECT_EQ(texto.str(), "Dia   Nome   Vínculo                   Telefones  E-mail\n"
                           "01/04 Carla  Secretária de Bruno Melo\n");
    std::ostringstream nenhum;
    Aniversariantes(banco, 7, false, nenhum);
    EXPECT_EQ(nenhum.str(), "Nenhum aniversariante no mês 7.\n");
    EXPECT_THROW(Aniversariantes(banco, 13, false, nenhum), AdminError);
}

} // namespace
} // namespace olvendra::admin
