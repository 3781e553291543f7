#include "config/erro_inesperado.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace olvendra {

namespace {

void TratadorPadrao(std::exception_ptr erro) {
    try {
        if (erro) {
            std::rethrow_exception(erro);
        }
        std::fputs("Erro inesperado.\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Erro inesperado: %s\n", e.what());
    } catch (...) {
        std::fputs("Erro inesperado.\n", stderr);
    }
}

std::mutex& Guarda() {
    static std::mutex guarda;
    return guarda;
}

TratadorDeErroInesperado& TratadorAtual() {
    static TratadorDeErroInesperado tratador = TratadorPadrao;
    return tratador;
}

} // namespace

void TrataErroInesperado(std::exception_ptr erro) {
    TratadorDeErroInesperado tratador;
    {
        // Called outside the lock: a handler may itself install another handler or report.
        std::lock_guard trava(Guarda());
        tratador = TratadorAtual();
    }
    tratador(std::move(erro));
}

void DefineTratadorDeErroInesperado(TratadorDeErroInesperado tratador) {
    std::lock_guard trava(Guarda());
    TratadorAtual() = tratador ? std::move(tratador) : TratadorPadrao;
}

} // namespace olvendra
