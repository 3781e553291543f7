#include "schema.h"

namespace olvendra::data {

namespace {

// An index on the name as the Portuguese collation compares it: it serves the accent- and
// case-insensitive name search and the dictionary order, and leaves the column itself (its type
// and collation, which the suite's other modules rely on) untouched.
struct Addition {
    const char* index;
    const char* statement;
};
constexpr Addition Additions[] = {
    {"IDX_MEDICOS_NOME_PTBR",
     "create index IDX_MEDICOS_NOME_PTBR on MEDICOS computed by (NOME collate WIN_PTBR)"},
};

// Every text column is VARCHAR in WIN1252: a CHAR column would pad the encoded passwords and break
// the login's comparisons.
constexpr const char* Statements[] = {
    R"(create table MEDICOS (
        CRM varchar(10) character set WIN1252 not null,
        ESPECIALIDADE varchar(25) character set WIN1252 not null,
        NOME varchar(40) character set WIN1252,
        ENDERECO varchar(60) character set WIN1252,
        COMPLEMENTO varchar(30) character set WIN1252,
        CEP varchar(10) character set WIN1252,
        CIDADE varchar(30) character set WIN1252,
        ESTADO varchar(2) character set WIN1252,
        TELEFONES varchar(30) character set WIN1252,
        QDEFORMULAS integer,
        VALORTOTAL numeric(15,2),
        COMISSPERC numeric(15,2),
        COMISSAO numeric(15,2),
        DATAANIVERSARIO varchar(5) character set WIN1252,
        OBSERVACAO varchar(250) character set WIN1252,
        E_MAIL varchar(60) character set WIN1252,
        NOME_SECRETARIA varchar(40) character set WIN1252,
        ANIV_SECRETARIA varchar(5) character set WIN1252,
        ATENDENTE varchar(20) character set WIN1252,
        REPRESENTANTE varchar(40) character set WIN1252,
        CONSELHOPROFISSIONAL varchar(10) character set WIN1252,
        UFCONSELHO varchar(10) character set WIN1252,
        constraint PK_MEDICOS primary key (CRM, ESPECIALIDADE)))",
    "create index IDX_MEDICOS_NOME_CRM on MEDICOS (NOME, CRM)",
    R"(create table USUARIOS (
        USUARIO varchar(30) character set WIN1252 not null,
        CODIGO varchar(10) character set WIN1252,
        SENHA varchar(12) character set WIN1252,
        ACESSO varchar(100) character set WIN1252,
        ARQUIVO varchar(8) character set WIN1252,
        LOGADO varchar(1) character set WIN1252,
        ESTACAO varchar(15) character set WIN1252,
        CONSIST_INICIAL varchar(1) character set WIN1252,
        DEFVIDEOQIR integer,
        constraint PK_USUARIOS primary key (USUARIO)))",
    R"(create table ESTACOES (
        ESTACAO varchar(3) character set WIN1252 not null,
        DATBASNAM varchar(60) character set WIN1252,
        TIPO varchar(16) character set WIN1252,
        ATCAIXA varchar(60) character set WIN1252,
        ESVAZIAR varchar(3) character set WIN1252,
        EMUSO varchar(3) character set WIN1252,
        CAMINHOREQUISICAO varchar(80) character set WIN1252,
        CAMINHOOM varchar(80) character set WIN1252,
        CAMINHOECF varchar(80) character set WIN1252,
        CAMINHOSEQUENCIAL1 varchar(80) character set WIN1252,
        CAMINHO2 varchar(80) character set WIN1252,
        ROTULO1 varchar(80) character set WIN1252,
        ROTULO2 varchar(80) character set WIN1252,
        ROTULO3 varchar(80) character set WIN1252,
        ROTULO4 varchar(80) character set WIN1252,
        ROTULO5 varchar(80) character set WIN1252,
        ROTULO6 varchar(80) character set WIN1252,
        USUARIO varchar(60) character set WIN1252,
        CNPJ varchar(14) character set WIN1252,
        constraint PK_ESTACOES primary key (ESTACAO)))",
    R"(create table ESPECIALIDADES (
        CODIGO_ESPEC integer not null,
        ESPECIALIDADE varchar(50) character set WIN1252,
        constraint PK_ESPECIALIDADES primary key (CODIGO_ESPEC)))",
};

} // namespace

void CreateSchema(Connection& connection) {
    // One transaction: a failure leaves an empty database rather than half a schema.
    connection.startTransaction();
    try {
        for (const char* statement : Statements) {
            connection.execute(statement, {});
        }
        for (const Addition& addition : Additions) {
            connection.execute(addition.statement, {});
        }
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
}

std::vector<std::string> UpgradeSchema(Connection& connection) {
    struct Count : RowSink {
        bool any = false;
        void columns(const std::vector<Column>&) override {}
        void row(const std::string_view*, const bool*) override { any = true; }
    };
    std::vector<std::string> added;
    connection.startTransaction();
    try {
        for (const Addition& addition : Additions) {
            Count existing;
            connection.select("select 1 from RDB$INDICES where RDB$INDEX_NAME = ?",
                              {std::string(addition.index)}, existing);
            if (existing.any) {
                continue;
            }
            connection.execute(addition.statement, {});
            added.emplace_back(addition.index);
        }
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
    return added;
}

} // namespace olvendra::data
