#include "config/chaves_configuracao.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace olvendra {
namespace {

TEST(ChavesDeConfiguracao, RotuloComPontosAteAColuna47EDoisPontosNa48) {
    EXPECT_EQ(RotuloDaChave("IP DO SERVIDOR CENTRAL"),
              "IP DO SERVIDOR CENTRAL.........................:");
    // The longest keys fill columns 1-47 and leave no room for a full stop.
    EXPECT_EQ(RotuloDaChave("IMPRIMIR NA REQ. CABECALHO PORTARIA 3492 ART.68"),
              "IMPRIMIR NA REQ. CABECALHO PORTARIA 3492 ART.68:");
    for (const auto& chave : ChavesDeConfiguracao) {
        const std::string rotulo = RotuloDaChave(chave.texto);
        ASSERT_EQ(rotulo.size(), 48u) << chave.texto;
        EXPECT_EQ(rotulo.substr(0, chave.texto.size()), chave.texto);
        EXPECT_EQ(rotulo.find_first_not_of('.', chave.texto.size()), 47u) << chave.texto;
        EXPECT_EQ(rotulo.back(), ':');
    }
}

TEST(ChavesDeConfiguracao, SaoDistintasETemAsLargurasDaSuite) {
    std::set<std::string_view> distintas;
    for (const auto& chave : ChavesDeConfiguracao) {
        distintas.insert(chave.texto);
    }
    EXPECT_EQ(distintas.size(), NumeroDeChaves);

    EXPECT_EQ(ChavesDeConfiguracao.front().texto, "IP DO SERVIDOR CENTRAL");
    EXPECT_EQ(ChavesDeConfiguracao.back().texto, "VOLUME TOTAL DA FORMULA A SER MOSTRADO NA OM");
    const struct {
        std::string_view chave;
        std::size_t largura;
    } larguras[] = {
        {"IP DA ESTACAO DO USUARIO", 40},
        {"IP DO BACKUP DO BD LOCAL (BKPPED)", 40},
        {"IP DO BACKUP DO BD CENTRAL", 40},
        {"CAMINHO DO BACKUP MANUAL DO BD DO SISTEMA", 60},
        {"LOG DE ATIVIDADES", 3},
        {"IP DO SERVIDOR CENTRAL", 30},
        {"HABILITAR BOTAO \"REPETIR PEDIDO\"", 30},
        {"TIT.COL 4 F.FARMACEUTICA..(Preco Min./% Lucro)", 30},
    };
    std::size_t com30 = 0;
    for (const auto& chave : ChavesDeConfiguracao) {
        com30 += chave.largura == 30 ? 1 : 0;
    }
    EXPECT_EQ(com30, NumeroDeChaves - 5);
    for (const auto& [chave, largura] : larguras) {
        const std::size_t indice = IndiceDaChave(chave);
        ASSERT_LT(indice, NumeroDeChaves) << chave;
        EXPECT_EQ(ChavesDeConfiguracao[indice].largura, largura) << chave;
    }
    EXPECT_EQ(IndiceDaChave("ip do servidor central"), NumeroDeChaves);
}

} // namespace
} // namespace olvendra
