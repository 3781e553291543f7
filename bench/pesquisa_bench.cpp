// The name search's round trip at 10,000 and 100,000 professionals: close the list, re-open it
// with the search statement, choose the first match, re-open the full list and position on it.
// Measured through the registry's own search over the cached record set, and as the bare
// statements run through the connection (Firebird's OO API, rows counted, nothing kept). The
// search statement alone is also timed with and without its indexed STARTING WITH condition.
//
// At 100,000 and 1,000,000 professionals, the accent- and case-insensitive search in dictionary
// order against the byte-order statements it replaced: the search statement alone, and the whole
// round trip through the record set.
#include "dm.h"
#include "embedded_database.h"
#include "record_set.h"
#include "registry/comandos_de_pesquisa.h"
#include "registry/pesquisa.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

using olvendra::data::Connection;
using olvendra::data::RecordSet;
using olvendra::data::TDM;
using olvendra::data::testing::EmbeddedDatabase;
namespace registry = olvendra::registry;

const std::string Campos =
    "CRM, ESPECIALIDADE, NOME, ENDERECO, COMPLEMENTO, CEP, CIDADE, ESTADO, TELEFONES, "
    "QDEFORMULAS, VALORTOTAL, COMISSPERC, COMISSAO, DATAANIVERSARIO, OBSERVACAO, E_MAIL, "
    "NOME_SECRETARIA, ANIV_SECRETARIA, ATENDENTE, REPRESENTANTE, CONSELHOPROFISSIONAL, UFCONSELHO";

// What a user types: normalised to "Maria Souza 1", it matches about one name in 400.
constexpr const char* Digitado = "maria souza 1";

// The byte-order statements the Portuguese ones replaced, for comparison.
const std::string BuscaEmBytes = "select " + Campos +
                                 " from MEDICOS where NOME starting with CAST(? AS VARCHAR(13)) "
                                 "and NOME like CAST(? AS VARCHAR(14)) order by NOME, CRM";
const std::string CompletaEmBytes = "select " + Campos + " from MEDICOS order by NOME, CRM";

// `rows` professionals named "<first> <last> <number>", eight first and five last names, built
// once per size.
EmbeddedDatabase& DatabaseWith(int rows) {
    static std::map<int, std::unique_ptr<EmbeddedDatabase>> databases;
    auto& db = databases[rows];
    if (!db) {
        db = std::make_unique<EmbeddedDatabase>();
        Connection connection(db->settings());
        connection.startTransaction();
        connection.execute(
            "execute block (n integer = ?) as declare i integer = 0; begin while (i < n) do begin "
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, ENDERECO, CIDADE, ESTADO, TELEFONES, "
            "E_MAIL, ATENDENTE, CONSELHOPROFISSIONAL, UFCONSELHO) values (:i, 'Clínica Médica', "
            "decode(mod(:i, 8), 0, 'Ana', 1, 'Bruno', 2, 'Carla', 3, 'Diego', 4, 'Elisa', 5, "
            "'Fabio', 6, 'Gabriela', 'Maria') || ' ' || decode(mod(:i / 8, 5), 0, 'Lima', 1, "
            "'Reis', 2, 'Souza', 3, 'Costa', 'Dias') || ' ' || :i, 'Rua das Acácias, ' || :i, "
            "'São Paulo', 'SP', '(11) 3222-' || :i, 'prof' || :i || '@exemplo.com.br', 'MARIA', "
            "'CRM', 'SP'); i = i + 1; end end",
            {std::to_string(rows)});
        connection.commit();
    }
    return *db;
}

// The search runs without panels here: nothing to show or hide.
class SemPaineis : public registry::TelaDePesquisa {
public:
    void DesabilitaBotoesCampos() override {}
    void HabilitaBotoesCampos() override {}
    void mostraPainelDePesquisa() override {}
    void escondePainelDePesquisa() override {}
    void mostraRelacao() override {}
    void escondeRelacao() override {}
    void focaBotaoTabela() override {}
    void focaBotaoPesquisar() override {}
};

struct Contagem : olvendra::data::RowSink {
    std::int64_t linhas = 0;
    void columns(const std::vector<olvendra::data::Column>&) override {}
    void row(const std::string_view*, const bool*) override { ++linhas; }
};

void BM_RoundTripThroughTheRecordSet(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    RecordSet medicos(connection, "MEDICOS", TDM::MedicosStatement, {"CRM", "ESPECIALIDADE"});
    SemPaineis tela;
    registry::Pesquisa pesquisa(medicos, tela, Campos);
    medicos.open();
    std::size_t encontrados = 0;
    for (auto _ : state) {
        pesquisa.BotPesqMedClick();
        pesquisa.PesquisaPorNome(Digitado);
        encontrados = medicos.rowCount();
        pesquisa.EscolheProfissional();
    }
    state.counters["matches"] = static_cast<double>(encontrados);
    state.counters["rows_after"] = static_cast<double>(medicos.rowCount());
    if (!medicos.fieldText("NOME").starts_with("Maria Souza 1")) {
        state.SkipWithError("not positioned on the chosen professional");
    }
}

void BM_BareStatements(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    connection.open();
    const registry::Comando busca = registry::ComandoPorNome(Campos, "Maria Souza 1");
    const registry::Comando completo = registry::ComandoCompleto(Campos);
    std::int64_t encontrados = 0;
    for (auto _ : state) {
        Contagem resultado, lista;
        connection.select(busca.sql, busca.parametros, resultado);
        connection.select(completo.sql, completo.parametros, lista);
        encontrados = resultado.linhas;
    }
    state.counters["matches"] = static_cast<double>(encontrados);
}

// The search statement alone; range(1) = 1 with the STARTING WITH condition (index on NOME),
// 0 with LIKE and its parameter only (the whole table is read).
void BM_SearchStatementOnly(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    connection.open();
    registry::Comando busca = registry::ComandoPorNome(Campos, "Maria Souza 1");
    if (state.range(1) == 0) {
        busca.sql = "select " + Campos +
                    " from MEDICOS where NOME like CAST(? AS VARCHAR(14)) order by NOME, CRM";
        busca.parametros = {busca.parametros.back()};
    }
    std::int64_t encontrados = 0;
    for (auto _ : state) {
        Contagem resultado;
        connection.select(busca.sql, busca.parametros, resultado);
        encontrados = resultado.linhas;
    }
    state.counters["matches"] = static_cast<double>(encontrados);
}

// range(1) = 0: the byte-order statement; 1: the Portuguese one. Fails unless the plan reads the
// index meant for it.
void BM_PortugueseSearchStatement(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    registry::Comando busca = registry::ComandoPorNome(Campos, "Maria Souza 1");
    const char* indice = "IDX_MEDICOS_NOME_PTBR";
    if (state.range(1) == 0) {
        busca.sql = BuscaEmBytes;
        indice = "IDX_MEDICOS_NOME_CRM";
    }
    if (connection.plan(busca.sql).find(indice) == std::string::npos) {
        state.SkipWithError(("the plan does not read " + std::string(indice)).c_str());
        return;
    }
    std::int64_t encontrados = 0;
    for (auto _ : state) {
        Contagem resultado;
        connection.select(busca.sql, busca.parametros, resultado);
        encontrados = resultado.linhas;
    }
    state.counters["matches"] = static_cast<double>(encontrados);
}

// The round trip through the record set with either pair of statements: search, choose the first
// match, re-open the full list, position on it. range(1) as above.
void BM_PortugueseRoundTrip(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    const bool emPortugues = state.range(1) == 1;
    registry::Comando busca = registry::ComandoPorNome(Campos, "Maria Souza 1");
    registry::Comando completa = registry::ComandoCompleto(Campos);
    if (!emPortugues) {
        busca.sql = BuscaEmBytes;
        completa.sql = CompletaEmBytes;
    }
    RecordSet medicos(connection, "MEDICOS", completa.sql, {"CRM", "ESPECIALIDADE"});
    medicos.open();
    for (auto _ : state) {
        medicos.close();
        medicos.setStatement(busca.sql, busca.parametros);
        medicos.open();
        const std::string nome = medicos.fieldText("NOME");
        const std::string crm = medicos.fieldText("CRM");
        medicos.close();
        medicos.setStatement(completa.sql);
        medicos.open();
        medicos.findNearest({nome, crm});
    }
    if (!medicos.fieldText("NOME").starts_with("Maria Souza 1")) {
        state.SkipWithError("not positioned on the chosen professional");
    }
}

BENCHMARK(BM_PortugueseSearchStatement)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PortugueseRoundTrip)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_RoundTripThroughTheRecordSet)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareStatements)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchStatementOnly)
    ->Args({10000, 1})
    ->Args({10000, 0})
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
