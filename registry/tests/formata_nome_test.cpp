#include "registry/formata_nome.h"

#include "config/texto.h"

#include <gtest/gtest.h>

namespace olvendra {
namespace {

// Typed and expected texts are written in UTF-8 here and converted to Windows-1252, the text the
// routine works on.
std::string Formata(const std::string& utf8) {
    return Win1252ParaUtf8(FormataNome(Utf8ParaWin1252(utf8)));
}

TEST(FormataNome, WorkedExamples) {
    struct Caso {
        const char* digitado;
        const char* esperado;
    } casos[] = {
        {"maria da silva", "Maria da Silva"},
        {"ana    de   souza   lima  costa", "Ana de Souza L. Costa"},
        {"JOÃO CARLOS DE OLIVEIRA SOUZA", "JoÃo Carlos O. Souza"},
        {"joão carlos de oliveira souza", "João Carlos O. Souza"},
        {"ana maria dos santos", "Ana Maria Santos"},
        {"Maria de Lourdes de Souza", "Maria de Lourdes Souza"},
        {"pedro de alcântara francisco antônio", "Pedro de Alcântara F. Antônio"},
        {"joão da costa e silva", "João da Costa E. Silva"},
        {"dr. josé da silva", "Dr. José Silva"},
        {"a b c d", "A B C. D"},
        {"de souza", "de Souza"},
        {"DOS", "dos"},
        {"Ana DA Silva", "Ana da Silva"},
        {"ÉRICA", "Érica"},
        {"ênio silva", "ênio Silva"},
        {"d'ávila", "D ávila"},
        {"maria d'arc", "Maria D arc"},
        {"ana'", "Ana"},
        {"'ana", "ana"},
        {"   ", ""},
        {"", ""},
        {"ana b c silva", "Ana B C. Silva"},
        {"ana maria de", "Ana Maria de"},
        {"ana maria 2a silva", "Ana Maria 2. Silva"},
        {"ana 2a costa silva", "Ana 2a C. Silva"},
        {"ana\tmaria silva", "Ana\tmaria Silva"},
        {"\t ana \n", "Ana"},
        {"sILVA", "Silva"},
    };
    for (const Caso& caso : casos) {
        EXPECT_EQ(Formata(caso.digitado), caso.esperado) << '"' << caso.digitado << '"';
    }
}

TEST(FormataNome, IsStableOnItsOwnResultUnlessAnApostropheWasReplaced) {
    for (const char* nome : {"maria da silva", "joão carlos de oliveira souza", "a b c d"}) {
        EXPECT_EQ(Formata(Formata(nome)), Formata(nome)) << nome;
    }
    EXPECT_EQ(Formata(Formata("maria d'arc")), "Maria D Arc");
}

TEST(FormataNome, MoreThanTwentyWordsShrinkToInitials) {
    std::string longo;
    for (char c = 'a'; c <= 'z'; ++c) {
        longo += std::string(1, c) + "x ";
    }
    EXPECT_EQ(Formata(longo),
              "Ax Bx C. D. E. F. G. H. I. J. K. L. M. N. O. P. Q. R. S. T. U. V. W. "
              "X. Y. Zx");
    EXPECT_EQ(FormataNome(std::string(100000, ' ') + "ana"), "Ana");
}

} // namespace
} // namespace olvendra
