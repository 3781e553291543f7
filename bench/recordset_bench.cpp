// Opening MEDICOS through the cached record set against a bare Firebird fetch loop of the same
// statement, the memory the cached rows take, and apply + refresh at 10,000 rows.
#include "dm.h"
#include "embedded_database.h"
#include "fb_client.h"
#include "record_set.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <memory>

namespace {

using olvendra::data::Connection;
using olvendra::data::RecordSet;
using olvendra::data::TDM;
using olvendra::data::testing::EmbeddedDatabase;

// A database with `rows` professionals of realistic lengths, built once per size.
EmbeddedDatabase& DatabaseWith(int rows) {
    static std::map<int, std::unique_ptr<EmbeddedDatabase>> databases;
    auto& db = databases[rows];
    if (!db) {
        db = std::make_unique<EmbeddedDatabase>();
        Connection connection(db->settings());
        connection.startTransaction();
        connection.execute(
            "execute block (n integer = ?) as declare i integer = 0; begin while (i < n) do begin "
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, ENDERECO, COMPLEMENTO, CEP, CIDADE, "
            "ESTADO, TELEFONES, QDEFORMULAS, VALORTOTAL, COMISSPERC, COMISSAO, DATAANIVERSARIO, "
            "OBSERVACAO, E_MAIL, NOME_SECRETARIA, ANIV_SECRETARIA, ATENDENTE, REPRESENTANTE, "
            "CONSELHOPROFISSIONAL, UFCONSELHO) values (:i, 'Clínica Médica', 'Profissional ' || "
            "(:n - :i) || ' da Silva Araújo', 'Rua das Acácias, ' || :i, 'Sala 12', '01310-100', "
            "'São Paulo', 'SP', '(11) 3222-' || :i, 12, 1234.56, 10.5, 2, '12/05', "
            "iif(mod(:i, 5) = 0, 'Atende às terças e quintas.', null), 'prof' || :i || "
            "'@exemplo.com.br', 'Secretária ' || :i, '01/02', 'MARIA', null, 'CRM', 'SP'); "
            "i = i + 1; end end",
            {std::to_string(rows)});
        connection.commit();
    }
    return *db;
}

std::string MedicosStatement() {
    return TDM::MedicosStatement;
}

// The bare loop: prepare, open a cursor, fetch every row into the message buffer, nothing kept;
// in the same kind of transaction as the record set's (read committed, record version, wait).
void BM_BareFetch(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Firebird::IMaster* master = olvendra::data::LoadFirebirdClient("libfbclient.so.2");
    Firebird::ThrowStatusWrapper st(master->getStatus());
    Firebird::IXpbBuilder* dpb =
        master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
    Firebird::IProvider* provider = master->getDispatcher();
    Firebird::IAttachment* attachment = provider->attachDatabase(
        &st, db.settings().database.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    std::int64_t rows = 0;
    std::size_t messageLength = 0;
    Firebird::IXpbBuilder* tpb =
        master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::TPB, nullptr, 0);
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_wait);
    tpb->insertTag(&st, isc_tpb_write);
    for (auto _ : state) {
        Firebird::ITransaction* transaction =
            attachment->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
        Firebird::IStatement* statement =
            attachment->prepare(&st, transaction, 0, MedicosStatement().c_str(), 3, 0);
        Firebird::IMessageMetadata* meta = statement->getOutputMetadata(&st);
        messageLength = meta->getMessageLength(&st);
        std::vector<unsigned char> buffer(messageLength);
        Firebird::IResultSet* cursor =
            statement->openCursor(&st, transaction, nullptr, nullptr, meta, 0);
        rows = 0;
        while (cursor->fetchNext(&st, buffer.data()) == Firebird::IStatus::RESULT_OK) {
            ++rows;
        }
        benchmark::DoNotOptimize(buffer.data());
        cursor->close(&st);
        meta->release();
        statement->free(&st);
        transaction->commit(&st);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["message_bytes_per_row"] = static_cast<double>(messageLength);
    attachment->detach(&st);
    provider->release();
    dpb->dispose();
    tpb->dispose();
}

void BM_RecordSetOpen(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    connection.open();
    RecordSet medicos(connection, "MEDICOS", MedicosStatement(), {"CRM", "ESPECIALIDADE"});
    double bytesPerRow = 0, dataBytesPerRow = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        medicos.open();
        state.PauseTiming();
        std::size_t after = mallinfo2().uordblks;
        double rows = static_cast<double>(medicos.rowCount());
        bytesPerRow = static_cast<double>(after - before) / rows;
        std::size_t data = 0;
        for (std::size_t r = 0; r < medicos.rowCount(); ++r) {
            for (int c = 0; c < static_cast<int>(medicos.columns().size()); ++c) {
                data += medicos.textAt(r, c).size();
            }
        }
        dataBytesPerRow = static_cast<double>(data) / rows;
        medicos.close();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_row"] = bytesPerRow;
    state.counters["value_bytes_per_row"] = dataBytesPerRow;
}

void BM_ApplyOneChangeAndRefresh(benchmark::State& state) {
    EmbeddedDatabase& db = DatabaseWith(static_cast<int>(state.range(0)));
    Connection connection(db.settings());
    RecordSet medicos(connection, "MEDICOS", MedicosStatement(), {"CRM", "ESPECIALIDADE"});
    medicos.open();
    medicos.moveTo(medicos.rowCount() / 2);
    int round = 0;
    for (auto _ : state) {
        medicos.setFieldText("TELEFONES", "(11) 4000-" + std::to_string(round++));
        medicos.post();
        if (medicos.applyUpdates() != 0) {
            state.SkipWithError("apply failed");
        }
        medicos.refresh();
    }
}

BENCHMARK(BM_BareFetch)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_RecordSetOpen)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_ApplyOneChangeAndRefresh)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
