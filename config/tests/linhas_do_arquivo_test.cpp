#include "config/linhas_do_arquivo.h"

#include "diretorio_temporario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace olvendra {
namespace {

std::vector<std::string> TodasAsLinhas(const std::filesystem::path& arquivo, std::size_t bytes) {
    auto linhas = LinhasDoArquivo::Abre(arquivo, bytes);
    EXPECT_TRUE(linhas.has_value());
    std::vector<std::string> resultado;
    std::string linha;
    while (linhas && linhas->Proxima(linha)) {
        resultado.push_back(linha);
    }
    return resultado;
}

TEST(LinhasDoArquivo, FinsDeLinha) {
    const struct {
        const char* descricao;
        std::string conteudo;
        std::vector<std::string> linhas;
    } casos[] = {
        {"vazio", "", {}},
        {"CR LF", "ab\r\ncd\r\n", {"ab", "cd"}},
        {"LF", "ab\ncd\n", {"ab", "cd"}},
        {"última sem fim", "ab\r\ncd", {"ab", "cd"}},
        {"última só com CR", "ab\r\ncd\r", {"ab", "cd"}},
        {"linhas vazias", "\r\n\n\r\n", {"", "", ""}},
        {"CR no meio fica", "a\rb\r\n", {"a\rb"}},
        {"dois CR: só o último sai", "ab\r\r\n", {"ab\r"}},
        {"NUL e binário", std::string("a\0\xFF\x1A\n", 5), {std::string("a\0\xFF\x1A", 4)}},
    };
    const testes::DiretorioTemporario diretorio;
    for (const auto& caso : casos) {
        const auto arquivo = diretorio.Grava("linhas.txt", caso.conteudo);
        EXPECT_EQ(TodasAsLinhas(arquivo, 100), caso.linhas) << caso.descricao;
    }
}

TEST(LinhasDoArquivo, GuardaSoOsPrimeirosBytesDeLinhasLongas) {
    const testes::DiretorioTemporario diretorio;
    const std::string longa = std::string(5, 'x') + std::string(3'000'000, 'y') + "\r";
    const auto arquivo = diretorio.Grava("linhas.txt", longa + "\nfim\r\n");
    EXPECT_EQ(TodasAsLinhas(arquivo, 8), (std::vector<std::string>{"xxxxxyyy", "fim"}));
    // A line of exactly the kept size plus its CR: the CR is not kept.
    const auto exata = diretorio.Grava("exata.txt", "12345678\r\n123456789\r\n");
    EXPECT_EQ(TodasAsLinhas(exata, 8), (std::vector<std::string>{"12345678", "12345678"}));
}

// Lines are read in 64 KiB chunks: a line, its CR or its LF may fall on either side of a chunk.
TEST(LinhasDoArquivo, LinhaCortadaEntrePedacosDeLeitura) {
    const testes::DiretorioTemporario diretorio;
    constexpr std::size_t Pedaco = 64 * 1024;
    for (std::size_t enchimento = Pedaco - 12; enchimento <= Pedaco + 2; ++enchimento) {
        const std::string primeira(enchimento - 1, 'p'); // plus its LF: 'enchimento' bytes
        const auto arquivo = diretorio.Grava("linhas.txt", primeira + "\nvalor  \r\nseguinte\r\n");
        const auto linhas = TodasAsLinhas(arquivo, 20);
        ASSERT_EQ(linhas.size(), 3u) << enchimento;
        EXPECT_EQ(linhas[1], "valor  ") << enchimento;
        EXPECT_EQ(linhas[2], "seguinte") << enchimento;
    }
}

TEST(LinhasDoArquivo, ArquivoQueNaoExiste) {
    const testes::DiretorioTemporario diretorio;
    EXPECT_FALSE(LinhasDoArquivo::Abre(diretorio.Caminho() / "nada.txt", 10).has_value());
    EXPECT_FALSE(LinhasDoArquivo::Abre(diretorio.Caminho() / "nada" / "x.txt", 10).has_value());
}

} // namespace
} // namespace olvendra
