// Start-up time of the program on a demo database: from the event loop's start to the login
// panel painted over the locked record panel, and the same with the window and data module
// creation included. Each run is a fresh program over the same database file (warm engine).

#include "ambiente_de_teste.h"
#include "app/form_medicos.h"
#include "app/painel_login.h"
#include "app/programa.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>

namespace {

using olvendra::app::Programa;
using olvendra::app::testing::AmbienteDeTeste;

AmbienteDeTeste* Ambiente = nullptr;

// Ends the event loop when the login panel is first painted.
class EsperaPintura : public QObject {
public:
    explicit EsperaPintura(QEventLoop& laco) : laco_(laco) {}
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::Paint) {
            laco_.quit();
        }
        return QObject::eventFilter(objeto, evento);
    }

private:
    QEventLoop& laco_;
};

// Seconds from `inicio` (before or after creating the program) to the login panel painted.
double UmaPartida(bool incluiCriacao) {
    QElapsedTimer relogio;
    relogio.start();
    Programa programa;
    if (!programa.inicia(Ambiente->programa(), Ambiente->raiz())) {
        return -1;
    }
    if (!incluiCriacao) {
        relogio.restart();
    }
    QEventLoop laco;
    EsperaPintura espera(laco);
    programa.janela().painelLogin()->installEventFilter(&espera);
    programa.janela().show();
    programa.janela().activateWindow();
    laco.exec();
    return static_cast<double>(relogio.nsecsElapsed()) / 1e9;
}

void Partida(benchmark::State& estado, bool incluiCriacao) {
    for (auto _ : estado) {
        const double segundos = UmaPartida(incluiCriacao);
        if (segundos < 0) {
            estado.SkipWithError("the configuration file is missing");
            return;
        }
        estado.SetIterationTime(segundos);
    }
}

void ExecAteLogin(benchmark::State& estado) {
    Partida(estado, false);
}
void CriacaoAteLogin(benchmark::State& estado) {
    Partida(estado, true);
}

BENCHMARK(ExecAteLogin)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(CriacaoAteLogin)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication aplicacao(argc, argv);
    AmbienteDeTeste ambiente;
    ambiente.usuario("MARIA", "1234", AmbienteDeTeste::AcessoPara('M'));
    ambiente.estacao("01", "MARIA", "/opt/olvendra/dados/maria.bd");
    for (int i = 0; i < 300; ++i) {
        ambiente.executa(
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values (?, ?, ?)",
            {std::to_string(10000 + i), "Cardiologia", "Profissional " + std::to_string(i)});
    }
    Ambiente = &ambiente;
    // One start to load the database engine, as on a workstation where the suite already runs.
    UmaPartida(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
