#include "config/texto.h"

#include <gtest/gtest.h>

#include <string>

namespace olvendra {
namespace {

struct ByteECaractere {
    unsigned char byte;
    const char* utf8;
};

// 0x80-0x9F are where Windows-1252 differs from Latin-1; the five undefined bytes keep their
// C1 control so that nothing is lost.
const ByteECaractere FaixaDe80a9F[] = {
    {0x80, "€"},      {0x81, "\u0081"}, {0x82, "‚"}, {0x83, "ƒ"},      {0x84, "„"},
    {0x85, "…"},      {0x86, "†"},      {0x87, "‡"}, {0x88, "ˆ"},      {0x89, "‰"},
    {0x8A, "Š"},      {0x8B, "‹"},      {0x8C, "Œ"}, {0x8D, "\u008D"}, {0x8E, "Ž"},
    {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x91, "‘"}, {0x92, "’"},      {0x93, "“"},
    {0x94, "”"},      {0x95, "•"},      {0x96, "–"}, {0x97, "—"},      {0x98, "˜"},
    {0x99, "™"},      {0x9A, "š"},      {0x9B, "›"}, {0x9C, "œ"},      {0x9D, "\u009D"},
    {0x9E, "ž"},      {0x9F, "Ÿ"},
};

// Outside 0x80-0x9F a byte is the character with the same number.
const ByteECaractere OutrosBytes[] = {
    {0x41, "A"}, {0x7F, "\x7F"}, {0xA0, "\u00A0"}, {0xC1, "Á"}, {0xE7, "ç"}, {0xFF, "ÿ"},
};

TEST(Win1252, CadaByteTemSeuCaractereNosDoisSentidos) {
    ASSERT_EQ(std::size(FaixaDe80a9F), 32u);
    for (const auto* tabela : {std::begin(FaixaDe80a9F), std::begin(OutrosBytes)}) {
        const auto* const fim =
            tabela == std::begin(FaixaDe80a9F) ? std::end(FaixaDe80a9F) : std::end(OutrosBytes);
        for (const auto* caso = tabela; caso != fim; ++caso) {
            const std::string win1252(1, static_cast<char>(caso->byte));
            EXPECT_EQ(Win1252ParaUtf8(win1252), caso->utf8) << std::hex << int{caso->byte};
            EXPECT_EQ(Utf8ParaWin1252(caso->utf8), win1252) << std::hex << int{caso->byte};
        }
    }
    EXPECT_EQ(Win1252ParaUtf8(std::string(1, '\0')), std::string(1, '\0'));
}

TEST(Win1252, NomesComAcentosEEuro) {
    const std::string utf8 = "João Ávila ç Ü €";
    const std::string win1252 = "Jo\xE3o \xC1vila \xE7 \xDC \x80";
    EXPECT_EQ(Utf8ParaWin1252(utf8), win1252);
    EXPECT_EQ(Win1252ParaUtf8(win1252), utf8);
}

TEST(Win1252, TodosOs256BytesVoltamIguais) {
    std::string todos;
    for (int b = 0; b < 256; ++b) {
        todos += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ParaWin1252(Win1252ParaUtf8(todos)), todos);
}

struct EntradaRecusada {
    const char* descricao;
    std::string utf8;
    std::string trechoDaMensagem;
};

TEST(Win1252, RecusaCaractereSemByteEUtf8Invalido) {
    const EntradaRecusada casos[] = {
        {"ideograma", "abc 中", "\"中\" (U+4E2D)"},
        {"emoji", "😀", "\"😀\" (U+1F600)"},
        {"controle U+0080, que Windows-1252 não tem", "\u0080", "(U+0080)"},
        {"travessão de 3 bytes fora da tabela", "\u2015", "(U+2015)"},
        {"continuação sem início", "a\x80", "byte 0x80 na posição 2"},
        {"sequência cortada no fim", "ab\xC3", "byte 0xC3 na posição 3"},
        {"continuação que falta", "\xE2\x82x", "byte 0xE2 na posição 1"},
        {"forma longa demais", "\xC0\xAF", "byte 0xC0 na posição 1"},
        {"forma longa de 3 bytes", "\xE0\x80\xAF", "byte 0xE0 na posição 1"},
        {"surrogate", "\xED\xA0\x80", "byte 0xED na posição 1"},
        {"acima de U+10FFFF", "\xF4\x90\x80\x80", "byte 0xF4 na posição 1"},
        {"byte F5", "\xF5\x80\x80\x80", "byte 0xF5 na posição 1"},
        {"Latin-1 cru", "Jo\xE3o", "byte 0xE3 na posição 3"},
    };
    for (const auto& caso : casos) {
        try {
            Utf8ParaWin1252(caso.utf8);
            ADD_FAILURE() << caso.descricao << ": aceito";
        } catch (const ErroDeCodificacao& e) {
            EXPECT_NE(std::string(e.what()).find(caso.trechoDaMensagem), std::string::npos)
                << caso.descricao << ": " << e.what();
        }
    }
}

} // namespace
} // namespace olvendra
