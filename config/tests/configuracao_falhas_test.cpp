#include "arquivo_de_configuracao.h"
#include "config/texto.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace olvendra {
namespace {

using FalhasDaConfiguracao = testes::ArquivoDeConfiguracao;

TEST_F(FalhasDaConfiguracao, ArquivoAusente) {
    EXPECT_EQ(LeConfiguracao(diretorio_.Caminho(), configuracao_),
              ResultadoLeitura::ArquivoAusente);
    EXPECT_EQ(configuracao_.CaminhoPrograma, diretorio_.Caminho().string() + "/");
    EXPECT_TRUE(erros_.empty());
    EXPECT_EQ(MensagemIniAusenteUtf8, "Arquivo OLVENDRA.INI não encontrado. Execute o programa "
                                      "ConvBase.exe para criá-lo.");
}

TEST_F(FalhasDaConfiguracao, CorInvalidaParaALeituraNaquelaLinha) {
    const struct {
        std::string valor;
        std::string mensagem;
    } casos[] = {
        {"", "'' is not a valid integer value"},
        {"  12a ", "'12a' is not a valid integer value"},
        {"$FF", "'$FF' is not a valid integer value"},
        {"0x10", "'0x10' is not a valid integer value"},
        {"1 000", "'1 000' is not a valid integer value"},
        {"2147483648", "'2147483648' is not a valid integer value"},
        {"-2147483649", "'-2147483649' is not a valid integer value"},
    };
    for (const auto& caso : casos) {
        erros_.clear();
        ASSERT_EQ(Le(Linha("FORMATA NOME DO CLIENTE", "S") +
                     Linha("COR DE FUNDO DAS TELAS", "255") +
                     Linha("COR DE FUNDO DAS TELAS", caso.valor) +
                     Linha("IP DO SERVIDOR CENTRAL", "depois")),
                  ResultadoLeitura::Lida);
        EXPECT_EQ(UnicoErro<EConvertError>(), caso.mensagem);
        EXPECT_EQ(configuracao_.FormataNomeCliente, "S") << "lido antes do erro";
        EXPECT_EQ(configuracao_.CorFundo, 255) << "a cor anterior fica";
        EXPECT_EQ(configuracao_.Valor("COR DE FUNDO DAS TELAS"), "255");
        EXPECT_EQ(configuracao_.ServidorCentral, "") << "depois do erro nada é lido";
    }
}

TEST_F(FalhasDaConfiguracao, CorSoComORotulo) {
    Le(Rotulo("COR DE FUNDO DAS TELAS") + "\r\n" + Linha("IP DO SERVIDOR CENTRAL", "depois"));
    EXPECT_EQ(UnicoErro<EConvertError>(), "'' is not a valid integer value");
    EXPECT_EQ(configuracao_.CorFundo, 0);
    EXPECT_EQ(configuracao_.ServidorCentral, "");
}

TEST_F(FalhasDaConfiguracao, ArquivoQueNaoSeLeEUmDiretorio) {
    std::filesystem::create_directory(diretorio_.Caminho() / NomeDoArquivoDeConfiguracao);
    EXPECT_EQ(LeConfiguracao(diretorio_.Caminho(), configuracao_), ResultadoLeitura::Lida);
    const std::string mensagem = UnicoErro<EInOutError>();
    EXPECT_NE(mensagem.find("OLVENDRA.INI"), std::string::npos) << mensagem;
    EXPECT_NE(mensagem.find(Utf8ParaWin1252(": é uma pasta, não um arquivo")), std::string::npos)
        << mensagem;
    EXPECT_NE(mensagem.find(Utf8ParaWin1252("Não foi possível ler o arquivo")), std::string::npos)
        << mensagem;
    EXPECT_EQ(configuracao_.ServidorCentral, "");
    EXPECT_EQ(configuracao_.CorFundo, 0);
}

TEST_F(FalhasDaConfiguracao, ArquivoSemPermissaoDeLeitura) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root lê arquivos sem permissão de leitura";
    }
    const auto arquivo = diretorio_.Grava(NomeDoArquivoDeConfiguracao,
                                          "IP DO SERVIDOR CENTRAL.........................: x\r\n");
    std::filesystem::permissions(arquivo, std::filesystem::perms::none);
    EXPECT_EQ(LeConfiguracao(diretorio_.Caminho(), configuracao_), ResultadoLeitura::Lida);
    const std::string mensagem = UnicoErro<EInOutError>();
    EXPECT_NE(mensagem.find(Utf8ParaWin1252("Não foi possível abrir o arquivo")), std::string::npos)
        << mensagem;
    EXPECT_EQ(configuracao_.ServidorCentral, "");
}

} // namespace
} // namespace olvendra
