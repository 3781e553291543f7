#include "app/encerramento_por_sinal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace olvendra::app {

namespace {

// Written by the handler, read by the notifier; one pair per process.
int Tubo[2] = {-1, -1};

void AoSinal(int) {
    const int erroAnterior = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t escrito = write(Tubo[1], &byte, 1);
    errno = erroAnterior;
}

} // namespace

EncerramentoPorSinal::EncerramentoPorSinal(std::function<void()> aoSinal, QObject* pai)
    : QObject(pai), aoSinal_(std::move(aoSinal)) {
    if (Tubo[0] < 0 && pipe2(Tubo, O_CLOEXEC | O_NONBLOCK) != 0) {
        Tubo[0] = Tubo[1] = -1;
        return;
    }
    notificador_ = new QSocketNotifier(Tubo[0], QSocketNotifier::Read, this);
    connect(notificador_, &QSocketNotifier::activated, this, [this] {
        char lidos[16];
        while (read(Tubo[0], lidos, sizeof lidos) > 0) {
        }
        if (aoSinal_) {
            aoSinal_();
        }
    });
    instala();
}

EncerramentoPorSinal::~EncerramentoPorSinal() {
    struct sigaction padrao = {};
    padrao.sa_handler = SIG_DFL;
    sigaction(SIGTERM, &padrao, nullptr);
    sigaction(SIGINT, &padrao, nullptr);
}

void EncerramentoPorSinal::instala() {
    if (Tubo[1] < 0) {
        return;
    }
    struct sigaction acao = {};
    acao.sa_handler = AoSinal;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &acao, nullptr);
    sigaction(SIGINT, &acao, nullptr);
}

} // namespace olvendra::app
