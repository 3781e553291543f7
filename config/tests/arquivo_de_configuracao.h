#pragma once

#include "config/configuracao.h"
#include "config/erro_inesperado.h"
#include "diretorio_temporario.h"

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace olvendra::testes {

// Writes OLVENDRA.INI into a fresh directory, reads it, and collects what reaches the
// unexpected-error handler instead of printing it.
class ArquivoDeConfiguracao : public ::testing::Test {
protected:
    void SetUp() override {
        DefineTratadorDeErroInesperado([this](std::exception_ptr erro) { erros_.push_back(erro); });
    }
    void TearDown() override { DefineTratadorDeErroInesperado({}); }

    ResultadoLeitura Le(std::string_view conteudo) {
        diretorio_.Grava(NomeDoArquivoDeConfiguracao, conteudo);
        return LeConfiguracao(diretorio_.Caminho(), configuracao_);
    }

    // A line as the suite writes it: label, a blank in column 49, the value from column 50.
    static std::string Linha(std::string_view chave, std::string_view valor,
                             std::string_view fim = "\r\n") {
        return Rotulo(chave) + " " + std::string(valor) + std::string(fim);
    }

    static std::string Rotulo(std::string_view chave) {
        return std::string(chave) + std::string(47 - chave.size(), '.') + ":";
    }

    // The what() of the one error handled, which must be of type Erro.
    template <typename Erro> std::string UnicoErro() const {
        if (erros_.size() != 1) {
            ADD_FAILURE() << erros_.size() << " erros tratados em vez de 1";
            return {};
        }
        try {
            std::rethrow_exception(erros_.front());
        } catch (const Erro& e) {
            return e.what();
        } catch (...) {
            ADD_FAILURE() << "erro de outro tipo";
        }
        return {};
    }

    DiretorioTemporario diretorio_;
    TConfiguracao configuracao_;
    std::vector<std::exception_ptr> erros_;
};

} // namespace olvendra::testes
