#include "registry/filtros_de_tecla.h"

#include <gtest/gtest.h>

#include <string>

namespace olvendra::registry {
namespace {

constexpr char CtrlC = 3;
constexpr char CtrlV = 22;
constexpr char CtrlX = 24;
const char Cedilha = static_cast<char>(0xE7); // "ç" in Windows-1252
const char AAgudo = static_cast<char>(0xC1);  // "Á"

struct Caso {
    const char* nome;
    std::string aceitos;
    std::string recusados;
};

TEST(FiltrosDeTecla, NameAcceptsLettersDigitsSpaceSlashAndBackspaceOnly) {
    const Caso caso{"name", "aZz09 /\b",
                    std::string("'-.,") + Cedilha + AAgudo + CtrlC + CtrlV + CtrlX + "\t" + '\x1b'};
    for (char c : caso.aceitos) {
        EXPECT_TRUE(AceitaNoNome(c)) << static_cast<int>(c);
    }
    for (char c : caso.recusados) {
        EXPECT_FALSE(AceitaNoNome(c)) << static_cast<int>(c);
    }
}

TEST(FiltrosDeTecla, DayMonthAcceptsDigitsSpaceSlashAndBackspaceOnly) {
    for (char c : std::string("0123456789 /\b")) {
        EXPECT_TRUE(AceitaNoDiaMes(c)) << static_cast<int>(c);
    }
    for (char c : std::string("aZ-.") + Cedilha + CtrlC + CtrlV + CtrlX + '\x1b') {
        EXPECT_FALSE(AceitaNoDiaMes(c)) << static_cast<int>(c);
    }
}

TEST(FiltrosDeTecla, PercentageAcceptsNumberCharactersAndControlCharacters) {
    struct {
        char separador;
        std::string aceitos;
        std::string recusados;
    } casos[] = {
        {'.', std::string("0123456789+-.\b") + CtrlV + CtrlC, std::string("a ,/%") + Cedilha},
        {',', std::string("09+-,\b"), std::string(".a ")},
    };
    for (const auto& caso : casos) {
        for (char c : caso.aceitos) {
            EXPECT_TRUE(AceitaNoPercentual(c, caso.separador)) << c << " with " << caso.separador;
        }
        for (char c : caso.recusados) {
            EXPECT_FALSE(AceitaNoPercentual(c, caso.separador)) << c << " with " << caso.separador;
        }
    }
}

} // namespace
} // namespace olvendra::registry
