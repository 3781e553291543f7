#include "config/erro_inesperado.h"
#include "config/inteiro.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace olvendra {
namespace {

TEST(TextoParaInteiro, AceitaDecimalComSinalOpcional) {
    const struct {
        const char* texto;
        std::int32_t valor;
    } casos[] = {
        {"0", 0},
        {"16777215", 16777215},
        {"-16777201", -16777201},
        {"+42", 42},
        {"-0", 0},
        {"000123", 123},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"00000000000000000000000007", 7},
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(TextoParaInteiro(caso.texto), caso.valor) << caso.texto;
    }
}

TEST(TextoParaInteiro, RecusaOQueNaoEInteiroDecimal) {
    const std::string casos[] = {
        "",
        "-",
        "+",
        " 1",
        "1 ",
        "1\t",
        "12a",
        "0x10",
        "$FF",
        "1.5",
        "1,5",
        "--1",
        "+-1",
        "1e3",
        "2147483648",
        "-2147483649",
        "99999999999999999999",
    };
    for (const auto& texto : casos) {
        try {
            TextoParaInteiro(texto);
            ADD_FAILURE() << '"' << texto << "\" aceito";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + texto + "' is not a valid integer value")
                << texto;
        }
    }
}

} // namespace
} // namespace olvendra
