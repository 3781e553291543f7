#include "config/erro_inesperado.h"

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>

namespace olvendra {
namespace {

class ErroInesperado : public ::testing::Test {
protected:
    void TearDown() override { DefineTratadorDeErroInesperado({}); }
};

TEST_F(ErroInesperado, TratadorPadraoEscreveNoStderr) {
    const struct {
        std::exception_ptr erro;
        const char* saida;
    } casos[] = {
        {std::make_exception_ptr(EConvertError("'x' is not a valid integer value")),
         "Erro inesperado: 'x' is not a valid integer value\n"},
        {std::make_exception_ptr(std::logic_error("falhou")), "Erro inesperado: falhou\n"},
        {std::make_exception_ptr(42), "Erro inesperado.\n"},
        {nullptr, "Erro inesperado.\n"},
    };
    for (const auto& caso : casos) {
        testing::internal::CaptureStderr();
        TrataErroInesperado(caso.erro);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), caso.saida);
    }
}

TEST_F(ErroInesperado, TratadorInstaladoRecebeOErroEVazioVoltaAoPadrao) {
    std::string recebido;
    DefineTratadorDeErroInesperado([&](std::exception_ptr erro) {
        try {
            std::rethrow_exception(erro);
        } catch (const EInOutError& e) {
            recebido = e.what();
        }
    });
    testing::internal::CaptureStderr();
    TrataErroInesperado(std::make_exception_ptr(EInOutError("disco")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(recebido, "disco");

    DefineTratadorDeErroInesperado({});
    testing::internal::CaptureStderr();
    TrataErroInesperado(std::make_exception_ptr(EInOutError("de novo")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Erro inesperado: de novo\n");
    EXPECT_EQ(recebido, "disco");
}

TEST_F(ErroInesperado, TratadorPodeTrocarOTratadorSemTravar) {
    int chamadas = 0;
    DefineTratadorDeErroInesperado([&](std::exception_ptr) {
        ++chamadas;
        DefineTratadorDeErroInesperado([&](std::exception_ptr) { chamadas += 10; });
    });
    TrataErroInesperado(std::make_exception_ptr(std::runtime_error("a")));
    TrataErroInesperado(std::make_exception_ptr(std::runtime_error("b")));
    EXPECT_EQ(chamadas, 11);
}

} // namespace
} // namespace olvendra
