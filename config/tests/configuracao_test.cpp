#include "arquivo_de_configuracao.h"

#include <gtest/gtest.h>

#include <string>

namespace olvendra {
namespace {

using LeituraDaConfiguracao = testes::ArquivoDeConfiguracao;

const std::string Servidor = "IP DO SERVIDOR CENTRAL";
const std::string Cor = "COR DE FUNDO DAS TELAS";
const std::string Formata = "FORMATA NOME DO CLIENTE";

TEST_F(LeituraDaConfiguracao, OsTresValoresDoModulo) {
    ASSERT_EQ(Le("IP DO SERVIDOR CENTRAL.........................: 192.168.0.10      \r\n"
                 "COR DE FUNDO DAS TELAS.........................:   16777215   \r\n"
                 "FORMATA NOME DO CLIENTE........................: SIM\r\n"),
              ResultadoLeitura::Lida);
    EXPECT_EQ(configuracao_.ServidorCentral, "192.168.0.10");
    EXPECT_EQ(configuracao_.CorFundo, 16777215);
    EXPECT_EQ(configuracao_.FormataNomeCliente, "SIM");
    EXPECT_EQ(configuracao_.Valor(Servidor), "192.168.0.10");
    EXPECT_EQ(configuracao_.Valor(Cor), "16777215");
    EXPECT_EQ(configuracao_.Valor(Formata), "SIM");
    EXPECT_TRUE(erros_.empty());
}

TEST_F(LeituraDaConfiguracao, ColunasDoValor) {
    const std::string sessenta = "123456789012345678901234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$";
    ASSERT_EQ(sessenta.size(), 60u);
    const struct {
        const char* descricao;
        std::string linha;
        std::string servidor;
        std::string formata;
    } casos[] = {
        {"valor desde a coluna 49 perde o 1º caractere", Rotulo(Servidor) + "10.0.0.1\r\n",
         "0.0.0.1", ""},
        {"só o rótulo", Rotulo(Servidor) + "\r\n", "", ""},
        {"rótulo e coluna 49", Rotulo(Servidor) + " \r\n", "", ""},
        {"mais de 60: corta antes de tirar brancos", Linha(Servidor, sessenta + "MAIS"), sessenta,
         ""},
        {"corta em 60 e depois tira brancos", Linha(Servidor, "  " + sessenta),
         sessenta.substr(0, 58), ""},
        {"chave de 30 caracteres", Linha(Formata, sessenta), "", sessenta.substr(0, 30)},
        {"tira brancos antes de cortar em 30: o branco interno fica no fim",
         Linha(Formata, std::string(29, 'n') + "  fim"), "", std::string(29, 'n') + " "},
        {"tabulação não é branco", Linha(Formata, "\tS\t "), "", "\tS\t"},
        {"Windows-1252 e NUL ficam", Linha(Formata, std::string("Jo\xE3o\0\xFF", 6)), "",
         std::string("Jo\xE3o\0\xFF", 6)},
        {"CR sem LF no fim não entra no valor", Linha(Formata, "SIM", "\r"), "", "SIM"},
        {"fim de linha LF", Linha(Formata, "SIM  ", "\n"), "", "SIM"},
        {"última linha sem fim", Linha(Formata, "SIM", ""), "", "SIM"},
    };
    for (const auto& caso : casos) {
        Le(caso.linha);
        EXPECT_EQ(configuracao_.ServidorCentral, caso.servidor) << caso.descricao;
        EXPECT_EQ(configuracao_.FormataNomeCliente, caso.formata) << caso.descricao;
    }
    EXPECT_TRUE(erros_.empty());
}

TEST_F(LeituraDaConfiguracao, RotuloTemDeSerExato) {
    const std::string rotulos[] = {
        "IP DO SERVIDOR CENTRAL........................:",   // one full stop too few
        "IP DO SERVIDOR CENTRAL..........................:", // one too many
        "ip do servidor central.........................:",
        "IP DO SERVIDOR CENTRAL..........................",
        " IP DO SERVIDOR CENTRAL........................:",
        "IP DO SERVIDOR CENTRAL:",
        "IP DO SERVIDOR CENTRAL",
    };
    for (const auto& rotulo : rotulos) {
        Le(rotulo + " 10.0.0.1\r\n");
        EXPECT_EQ(configuracao_.ServidorCentral, "") << rotulo;
    }
}

TEST_F(LeituraDaConfiguracao, CorDeFundo) {
    const struct {
        const char* valor;
        std::int32_t cor;
    } casos[] = {
        {"  16777215  ", 16777215}, // white
        {"-16777201", -16777201},   // the system's button face
        {"0", 0},
        {"+255", 255},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& caso : casos) {
        Le(Linha(Cor, caso.valor));
        EXPECT_EQ(configuracao_.CorFundo, caso.cor) << caso.valor;
    }
    EXPECT_TRUE(erros_.empty());
}

TEST_F(LeituraDaConfiguracao, AUltimaOcorrenciaVale) {
    Le(Linha(Servidor, "primeiro") + Linha(Cor, "255") + Linha(Servidor, "segundo") +
       Linha(Cor, "65280"));
    EXPECT_EQ(configuracao_.ServidorCentral, "segundo");
    EXPECT_EQ(configuracao_.CorFundo, 65280);
}

TEST_F(LeituraDaConfiguracao, ArquivoVazioOuSemChaveConhecida) {
    for (const std::string& conteudo :
         {std::string(), std::string("\r\n\r\n"),
          "[GERAL]\r\n; comentario\r\n" + Linha("CHAVE DE OUTRO SISTEMA", "x") +
              std::string(200, '.') + "\r\n"}) {
        configuracao_.CorFundo = 123; // the reader starts from an empty record
        configuracao_.ServidorCentral = "antigo";
        ASSERT_EQ(Le(conteudo), ResultadoLeitura::Lida);
        EXPECT_EQ(configuracao_.CorFundo, 0);
        EXPECT_EQ(configuracao_.ServidorCentral, "");
        EXPECT_EQ(configuracao_.FormataNomeCliente, "");
        for (const auto& valor : configuracao_.Valores) {
            EXPECT_EQ(valor, "");
        }
    }
    EXPECT_TRUE(erros_.empty());
}

TEST_F(LeituraDaConfiguracao, TodasAsChavesComSuasLarguras) {
    std::string conteudo;
    for (std::size_t i = 0; i < NumeroDeChaves; ++i) {
        const auto chave = ChavesDeConfiguracao[i].texto;
        const std::string valor = chave == Cor ? std::string("-16777201")
                                               : "V" + std::to_string(i) + std::string(70, 'x');
        conteudo += Linha(chave, valor);
    }
    ASSERT_EQ(Le(conteudo), ResultadoLeitura::Lida);
    for (std::size_t i = 0; i < NumeroDeChaves; ++i) {
        const auto chave = ChavesDeConfiguracao[i].texto;
        if (chave == Cor) {
            EXPECT_EQ(configuracao_.Valor(chave), "-16777201");
            continue;
        }
        const std::string lido = "V" + std::to_string(i) + std::string(70, 'x');
        const std::size_t largura = chave == "IP DA ESTACAO DO USUARIO" ||
                                            chave == "IP DO BACKUP DO BD LOCAL (BKPPED)" ||
                                            chave == "IP DO BACKUP DO BD CENTRAL"
                                        ? 40
                                    : chave == "CAMINHO DO BACKUP MANUAL DO BD DO SISTEMA" ? 60
                                    : chave == "LOG DE ATIVIDADES"                         ? 3
                                                                                           : 30;
        EXPECT_EQ(configuracao_.Valor(chave), lido.substr(0, largura)) << chave;
    }
    EXPECT_EQ(configuracao_.ServidorCentral, ("V0" + std::string(70, 'x')).substr(0, 60));
    EXPECT_EQ(configuracao_.CorFundo, -16777201);
    EXPECT_THROW(configuracao_.Valor("CHAVE QUE NAO EXISTE"), std::out_of_range);
}

TEST_F(LeituraDaConfiguracao, CrLfELfDaoOMesmoResultado) {
    const std::string linhas[] = {Linha(Servidor, "srv", ""), Linha(Cor, "  42 ", ""),
                                  Linha(Formata, "N  ", ""), Linha("LOG DE ATIVIDADES", "SIM", "")};
    std::string crlf;
    std::string lf;
    for (const auto& linha : linhas) {
        crlf += linha + "\r\n";
        lf += linha + "\n";
    }
    Le(crlf);
    const TConfiguracao comCrLf = configuracao_;
    Le(lf);
    EXPECT_EQ(configuracao_.Valores, comCrLf.Valores);
    EXPECT_EQ(configuracao_.ServidorCentral, "srv");
    EXPECT_EQ(configuracao_.CorFundo, 42);
    EXPECT_EQ(configuracao_.FormataNomeCliente, "N");
    EXPECT_EQ(configuracao_.Valor("LOG DE ATIVIDADES"), "SIM");
}

TEST_F(LeituraDaConfiguracao, BinarioELinhasEnormesNaoAtrapalham) {
    std::string lixo;
    for (int i = 0; i < 4096; ++i) {
        lixo += static_cast<char>((i * 7919) % 256); // every byte value, NUL, CR and LF included
    }
    const std::string enorme(20'000'000, 'z');
    ASSERT_EQ(Le(lixo + "\n" + enorme + Linha(Servidor, "escondido") + "\n" +
                 Linha(Servidor, "srv") + lixo),
              ResultadoLeitura::Lida);
    EXPECT_EQ(configuracao_.ServidorCentral, "srv");
    EXPECT_TRUE(erros_.empty());
}

TEST_F(LeituraDaConfiguracao, CaminhoDoProgramaTemBarraNoFim) {
    Le("");
    const std::string esperado = diretorio_.Caminho().string() + "/";
    EXPECT_EQ(configuracao_.CaminhoPrograma, esperado);
    EXPECT_EQ(LeConfiguracao(esperado, configuracao_), ResultadoLeitura::Lida);
    EXPECT_EQ(configuracao_.CaminhoPrograma, esperado);
}

} // namespace
} // namespace olvendra
