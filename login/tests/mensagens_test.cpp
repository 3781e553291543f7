#include "config/texto.h"
#include "login/mensagens.h"
#include "login/teste_de_acesso.h"

#include <gtest/gtest.h>

namespace olvendra::login {
namespace {

std::string W(const char* utf8) {
    return Utf8ParaWin1252(utf8);
}

TEST(Mensagens, WorkAreaFailureIsBuiltPieceByPieceWithSingleCarriageReturns) {
    const std::string esperado =
        W("Não foi possível selecionar uma área de trabalho para o usuário \"D'AVILA\". ") +
        "\r\r" + W("Causas prováveis: ") + "\r\r" +
        W("  1) Na tabela \"Estacoes.db\" não foi incluída uma estação para o usuário "
          "\"D'AVILA\".") +
        "\r" +
        W("     Obs: Criar também a área de trabalho física (pasta C:\\Olvendra\\InterfacXX) "
          "para este usuário.") +
        "\r" + W("  --> Favor contactar o suporte técnico da QIR SISTEMAS <--");
    EXPECT_EQ(MensagemEstacaoNaoSelecionada("D'AVILA"), esperado);
    EXPECT_EQ(esperado.find('\n'), std::string::npos);
}

TEST(Mensagens, NoticesAndCaptionCarryTheNameAsItIs) {
    const std::string nome = W("JOãO");
    EXPECT_EQ(MensagemNaoAutorizado(nome), W("Usuário JOãO não autorizado"));
    EXPECT_EQ(MensagemSemAreaDeTrabalho(nome),
              W("Não foi identificada uma área de trabalho para o usuáro JOãO"));
    EXPECT_EQ(MensagemNomeNaoInformado(), W("Não foi informado o Nome do Usuário."));
    EXPECT_EQ(MensagemSenhaIncorreta(), "Senha incorreta. Tente novamente.");
    EXPECT_EQ(TituloComEstacao("MARIA", "A1"),
              W("  CAD. DE MÉDICOS  -  Usuário: \"MARIA\"   Estação: A1"));
}

struct CasoDeAcesso {
    const char* acesso;
    char inicial;
    bool permitido;
};

TEST(AcessoPermitido, FourthCharacterLessFiveIsTheInitial) {
    const CasoDeAcesso casos[] = {
        {"XXXRXX", 'M', true},     // "R" (82) - 5 = "M" (77)
        {"XXXR", 'M', true},       // exactly four characters
        {"XXXS", 'M', false},      // off by one
        {"XXX", 'M', false},       // too short
        {"", 'M', false},          //
        {"XXX\x04", '\xFF', true}, // 4 - 5 wraps to 255
        {"XXX\xC6", '\xC1', true}, // codes above 127
    };
    for (const CasoDeAcesso& caso : casos) {
        EXPECT_EQ(AcessoPermitido(caso.acesso, caso.inicial), caso.permitido) << caso.acesso;
    }
}

} // namespace
} // namespace olvendra::login
