#include "config/texto.h"

#include <gtest/gtest.h>

#include <string>

namespace olvendra {
namespace {

struct CasoDeTexto {
    std::string entrada;
    std::string esperado;
};

TEST(TiraBrancos, RemoveSoEspacosDasPontas) {
    const CasoDeTexto casos[] = {
        {"", ""},
        {" ", ""},
        {"     ", ""},
        {"abc", "abc"},
        {"  abc  ", "abc"},
        {" a b  c ", "a b  c"},
        {"\tabc\t", "\tabc\t"}, // only the space is a blank
        {" \tabc\r ", "\tabc\r"},
        {std::string("\0 x \0", 5), std::string("\0 x \0", 5)},
        {std::string(" \xA0x\xA0 "), std::string("\xA0x\xA0")}, // no-break space stays
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(TiraBrancos(caso.entrada), caso.esperado) << '"' << caso.entrada << '"';
    }
}

TEST(CaixaDasLetras, MudaSoAsLetrasDeAaZ) {
    // "ação ÁÉ ç 1-z" in Windows-1252: accented letters keep their case.
    const std::string texto = "a\xE7\xE3o \xC1\xC9 \xE7 1-zZ@[`{";
    EXPECT_EQ(MaiusculasAZ(texto), "A\xE7\xE3O \xC1\xC9 \xE7 1-ZZ@[`{");
    EXPECT_EQ(MinusculasAZ(texto), "a\xE7\xE3o \xC1\xC9 \xE7 1-zz@[`{");
    EXPECT_EQ(MaiusculasAZ("abcdefghijklmnopqrstuvwxyz"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(MinusculasAZ("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(MaiusculasAZ(""), "");
}

TEST(CortaEm, GuardaOsPrimeirosBytes) {
    EXPECT_EQ(CortaEm("abcdef", 3), "abc");
    EXPECT_EQ(CortaEm("abc", 3), "abc");
    EXPECT_EQ(CortaEm("ab", 30), "ab");
    EXPECT_EQ(CortaEm("abc", 0), "");
    EXPECT_EQ(CortaEm("", 5), "");
}

} // namespace
} // namespace olvendra
