// The CSV reader over the shapes spreadsheets write, and the encoding detection.

#include "leitor_csv.h"

#include <gtest/gtest.h>

#include <sstream>

namespace olvendra::admin {
namespace {

using Registros = std::vector<std::pair<std::size_t, std::vector<std::string>>>;

Registros Le(const std::string& texto) {
    std::istringstream entrada(texto);
    LeitorCsv leitor(entrada);
    Registros lidos;
    RegistroCsv registro;
    while (leitor.proximo(registro)) {
        lidos.emplace_back(registro.linha, registro.campos);
    }
    return lidos;
}

TEST(LeitorCsv, RecordsAsSpreadsheetsWriteThem) {
    struct Caso {
        const char* oque;
        std::string texto;
        Registros esperado;
    } casos[] = {
        {"CRLF", "a;b\r\nc;d\r\n", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
        {"LF, no final break", "a;b\nc;d", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
        {"CR alone", "a\rb\r", {{1, {"a"}}, {2, {"b"}}}},
        {"empty fields", ";;\r\n", {{1, {"", "", ""}}}},
        {"quotes", "\"a;b\";\"x \"\"y\"\"\"\r\n", {{1, {"a;b", "x \"y\""}}}},
        {"line breaks inside quotes count lines",
         "\"um\r\ndois\ntres\";b\r\nc\r\n",
         {{1, {"um\r\ndois\ntres", "b"}}, {4, {"c"}}}},
        {"a quote inside an unquoted field", "a\"b;c\r\n", {{1, {"a\"b", "c"}}}},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "CRM;NOME\r\n",
         {{1, {"CRM", "NOME"}}}},
        {"empty quoted field", "\"\";x\r\n", {{1, {"", "x"}}}},
        {"blank line", "a\r\n\r\nb\r\n", {{1, {"a"}}, {2, {""}}, {3, {"b"}}}},
        {"nothing", "", {}},
    };
    for (const Caso& caso : casos) {
        EXPECT_EQ(Le(caso.texto), caso.esperado) << caso.oque;
    }
}

TEST(LeitorCsv, BrokenQuotesAndOversizedRecordsNameTheirLine) {
    struct Caso {
        std::string texto;
        std::size_t linha;
    } casos[] = {
        {"a;b\r\n\"never closed;x\r\nmore\r\n", 2},
        {"a\r\n\"closed\"then text;b\r\n", 2},
        {"a\r\nb\r\n" + std::string(70000, 'x') + "\r\n", 3},
        {"a\r\n\"" + std::string(70000, 'x') + "\"\r\n", 2},
        {"a\r\n" + std::string(1000, ';') + "\r\n", 2},
    };
    for (const Caso& caso : casos) {
        try {
            Le(caso.texto);
            ADD_FAILURE() << caso.texto;
        } catch (const ErroCsv& erro) {
            EXPECT_EQ(erro.linha, caso.linha) << caso.texto;
        }
    }
}

TEST(LeitorCsv, TheEncodingIsDetected) {
    struct Caso {
        std::string texto;
        Codificacao esperada;
    } casos[] = {
        {"\xEF\xBB\xBF"
         "Jo\xC3\xA3o",
         Codificacao::Utf8ComBom},
        {"Jo\xC3\xA3o;Concei\xC3\xA7\xC3\xA3o", Codificacao::Utf8},
        {"only ascii", Codificacao::Utf8},
        {"Jo\xE3o", Codificacao::Windows1252},
        {"Jo\xC3", Codificacao::Windows1252},       // cut in the middle of a character
        {"\xC0\x80", Codificacao::Windows1252},     // overlong
        {"\xED\xA0\x80", Codificacao::Windows1252}, // surrogate
        {"Jo\xC3\xA3o " + std::string(70000, 'x') + "\xE7", Codificacao::Windows1252},
    };
    for (const Caso& caso : casos) {
        std::istringstream entrada(caso.texto);
        EXPECT_EQ(DetectaCodificacao(entrada), caso.esperada) << caso.texto.substr(0, 20);
        EXPECT_EQ(entrada.tellg(), 0) << "the stream is back at its start";
    }
}

} // namespace
} // namespace olvendra::admin
