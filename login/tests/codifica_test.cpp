#include "login/codifica.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace olvendra {
namespace {

TEST(Codifica, FormasGuardadasConhecidas) {
    const struct {
        std::string entrada;
        std::string codificado;
    } casos[] = {
        {"", ""},
        {"A", "AK"},
        {"a", "AL"},
        {"AB", "BCAK"},
        {"abc", "BLBDAL"},
        {"\xC1\xC9", "EOAO"}, // "ÁÉ" in Windows-1252
        {std::string(1, '\0'), "AA"},
        {"\xFF", "PP"},
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(Codifica(caso.entrada), caso.codificado) << caso.entrada;
    }
}

TEST(Codifica, SoContamOsPrimeirosNMod32Caracteres) {
    const std::string trintaETres = "Zabcdefghijklmnopqrstuvwxyz012345";
    ASSERT_EQ(trintaETres.size(), 33u);
    const std::string codificado31 = Codifica(trintaETres.substr(0, 31));
    EXPECT_EQ(codificado31.size(), 62u);
    EXPECT_EQ(codificado31.find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos);
    EXPECT_EQ(Codifica(trintaETres.substr(0, 32)), "");
    EXPECT_EQ(Codifica(trintaETres), Codifica("Z"));
    EXPECT_EQ(Codifica(std::string(64, 'x') + "ab"), Codifica("xx"));
}

TEST(Codifica, DistingueMaiusculasDeMinusculas) {
    EXPECT_NE(Codifica("senha"), Codifica("SENHA"));
}

// The format written literally: bit string, rotation by 3 over the whole string, bytes from
// the last, two letters per byte. Kept deliberately naive as the reference.
std::string CodificaPeloTextoDeBits(const std::string& entrada) {
    const std::size_t k = entrada.size() % 32;
    std::string bits;
    for (std::size_t i = 0; i < k; ++i) {
        const auto byte = static_cast<unsigned char>(entrada[i]);
        for (int b = 7; b >= 0; --b) {
            bits += ((byte >> b) & 1) != 0 ? '1' : '0';
        }
    }
    if (!bits.empty()) {
        bits = bits.substr(3) + bits.substr(0, 3);
    }
    std::string letras;
    for (std::size_t grupo = k; grupo-- > 0;) {
        const int byte = std::stoi(bits.substr(grupo * 8, 8), nullptr, 2);
        letras += static_cast<char>('A' + byte / 16);
        letras += static_cast<char>('A' + byte % 16);
    }
    return letras;
}

TEST(Codifica, IgualAoFormatoEscritoBitABit) {
    std::mt19937 gerador(20240601);
    std::uniform_int_distribution<int> tamanho(0, 70);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 2000; ++i) {
        std::string entrada(static_cast<std::size_t>(tamanho(gerador)), '\0');
        for (char& c : entrada) {
            c = static_cast<char>(byte(gerador));
        }
        ASSERT_EQ(Codifica(entrada), CodificaPeloTextoDeBits(entrada))
            << "tamanho " << entrada.size();
    }
}

} // namespace
} // namespace olvendra
