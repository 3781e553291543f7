// The import of a prescriber file of 100,000 and 200,000 valid professionals into an empty
// database by olvendra-admin itself, in a child process: its time and its peak memory (maximum
// resident set), which must not grow with the file beyond the rows being written (the file is
// read one record at a time; only the keys seen are kept, to find repeated ones).
#include "embedded_database.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using olvendra::data::testing::EmbeddedDatabase;

// `linhas` valid professionals in every column, UTF-8 with accents, as export-csv writes them.
std::filesystem::path Arquivo(const std::filesystem::path& pasta, int linhas) {
    const std::filesystem::path caminho =
        pasta / ("prescritores-" + std::to_string(linhas) + ".csv");
    std::ofstream saida(caminho, std::ios::binary);
    saida << "\xEF\xBB\xBF"
             "CRM;ESPECIALIDADE;NOME;ENDERECO;COMPLEMENTO;CEP;CIDADE;ESTADO;"
             "TELEFONES;QDEFORMULAS;VALORTOTAL;COMISSPERC;COMISSAO;DATAANIVERSARIO;OBSERVACAO;"
             "E_MAIL;NOME_SECRETARIA;ANIV_SECRETARIA;ATENDENTE;REPRESENTANTE;"
             "CONSELHOPROFISSIONAL;UFCONSELHO\r\n";
    const char* nomes[] = {"João", "Conceição", "Sérgio", "Ângela", "Márcia", "Luís"};
    for (int i = 0; i < linhas; ++i) {
        const std::string dia = std::to_string(10 + i % 18);
        const std::string mes = std::to_string(10 + i % 3);
        saida << i << ";Clínica Médica;" << nomes[i % 6] << " da Silva " << i
              << ";Rua das Acácias, " << i << ";Sala " << i % 90 << ";01310-100;São Paulo;SP;"
              << "(11) 3222-" << i % 10000 << ";" << i % 50 << ";" << i << ",5;10,5;;" << dia << "/"
              << mes << ";\"Atende às terças; \"\"plantão\"\"\";prof" << i
              << "@exemplo.com.br;Ana Souza;" << dia << "/" << mes
              << ";MARIA;Representante;CRM;SP\r\n";
    }
    return caminho;
}

struct Medida {
    double segundos;
    double picoMb;
    int codigo;
};

Medida Importa(const EmbeddedDatabase& banco, const std::filesystem::path& arquivo) {
    const auto inicio = std::chrono::steady_clock::now();
    const pid_t filho = fork();
    if (filho == 0) {
        const int nada = ::open("/dev/null", O_WRONLY);
        dup2(nada, STDOUT_FILENO);
        execl(OLVENDRA_ADMIN, OLVENDRA_ADMIN, "--db", banco.file().c_str(), "import-csv",
              arquivo.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int estado = 0;
    rusage uso{};
    wait4(filho, &estado, 0, &uso);
    const std::chrono::duration<double> passou = std::chrono::steady_clock::now() - inicio;
    return {passou.count(), static_cast<double>(uso.ru_maxrss) / 1024.0,
            WIFEXITED(estado) ? WEXITSTATUS(estado) : -1};
}

void BM_ImportaCsv(benchmark::State& state) {
    const int linhas = static_cast<int>(state.range(0));
    Medida medida{};
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EmbeddedDatabase banco;
        const std::filesystem::path arquivo = Arquivo(banco.folder(), linhas);
        bytes = std::filesystem::file_size(arquivo);
        state.ResumeTiming();
        medida = Importa(banco, arquivo);
        state.SetIterationTime(medida.segundos);
        if (medida.codigo != 0) {
            state.SkipWithError("the import failed");
        }
    }
    state.counters["peak_rss_MB"] = medida.picoMb;
    state.counters["file_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["rows_per_s"] = linhas / medida.segundos;
}

BENCHMARK(BM_ImportaCsv)
    ->Arg(100000)
    ->Arg(200000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
