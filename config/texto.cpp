#include "config/texto.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace olvendra {

std::string TiraBrancos(std::string_view texto) {
    const auto inicio = texto.find_first_not_of(' ');
    if (inicio == std::string_view::npos) {
        return {};
    }
    const auto fim = texto.find_last_not_of(' ');
    return std::string(texto.substr(inicio, fim - inicio + 1));
}

namespace {

std::string TrocaLetras(std::string_view texto, char primeira, char ultima, char novaPrimeira) {
    std::string resultado(texto);
    for (char& c : resultado) {
        if (c >= primeira && c <= ultima) {
            c = static_cast<char>(c - primeira + novaPrimeira);
        }
    }
    return resultado;
}

} // namespace

std::string MaiusculasAZ(std::string_view texto) {
    return TrocaLetras(texto, 'a', 'z', 'A');
}

std::string MinusculasAZ(std::string_view texto) {
    return TrocaLetras(texto, 'A', 'Z', 'a');
}

std::string CortaEm(std::string_view texto, std::size_t n) {
    return std::string(texto.substr(0, n));
}

namespace {

// The characters of the bytes 0x80 to 0x9F. Windows-1252 leaves five of them undefined; those
// map to the C1 control with the same number, so that every byte survives a round trip.
constexpr std::array<char32_t, 32> CaracteresDe80a9F = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char32_t CaractereDoByte(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return CaracteresDe80a9F[byte - 0x80];
    }
    return byte;
}

// -1 when Windows-1252 has no byte for the character.
int ByteDoCaractere(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    const auto* const encontrado = std::find(CaracteresDe80a9F.begin(), CaracteresDe80a9F.end(), c);
    if (encontrado == CaracteresDe80a9F.end()) {
        return -1;
    }
    return 0x80 + static_cast<int>(encontrado - CaracteresDe80a9F.begin());
}

void AcrescentaUtf8(std::string& destino, char32_t c) {
    if (c < 0x80) {
        destino += static_cast<char>(c);
    } else if (c < 0x800) {
        destino += static_cast<char>(0xC0 | (c >> 6));
        destino += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        destino += static_cast<char>(0xE0 | (c >> 12));
        destino += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        destino += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        destino += static_cast<char>(0xF0 | (c >> 18));
        destino += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        destino += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        destino += static_cast<char>(0x80 | (c & 0x3F));
    }
}

[[noreturn]] void SequenciaInvalida(std::string_view utf8, std::size_t posicao) {
    char mensagem[96];
    std::snprintf(mensagem, sizeof mensagem,
                  "Texto UTF-8 inválido: byte 0x%02X na posição %zu não forma um caractere",
                  static_cast<unsigned char>(utf8[posicao]), posicao + 1);
    throw ErroDeCodificacao(mensagem);
}

[[noreturn]] void CaractereSemByte(char32_t c) {
    std::string caractere;
    AcrescentaUtf8(caractere, c);
    char codigo[16];
    std::snprintf(codigo, sizeof codigo, "U+%04X", static_cast<unsigned>(c));
    throw ErroDeCodificacao("O caractere \"" + caractere + "\" (" + codigo +
                            ") não existe em Windows-1252");
}

// Decodes the character at 'posicao', advancing past it; rejects truncated sequences, overlong
// forms, surrogates and values above U+10FFFF.
char32_t DecodificaUtf8(std::string_view utf8, std::size_t& posicao) {
    const std::size_t inicio = posicao;
    const auto primeiro = static_cast<unsigned char>(utf8[posicao++]);
    if (primeiro < 0x80) {
        return primeiro;
    }
    std::size_t continuacoes;
    char32_t c;
    char32_t minimo;
    if (primeiro >= 0xC2 && primeiro <= 0xDF) {
        continuacoes = 1;
        c = primeiro & 0x1F;
        minimo = 0x80;
    } else if (primeiro >= 0xE0 && primeiro <= 0xEF) {
        continuacoes = 2;
        c = primeiro & 0x0F;
        minimo = 0x800;
    } else if (primeiro >= 0xF0 && primeiro <= 0xF4) {
        continuacoes = 3;
        c = primeiro & 0x07;
        minimo = 0x10000;
    } else {
        SequenciaInvalida(utf8, inicio);
    }
    for (std::size_t i = 0; i < continuacoes; ++i) {
        if (posicao >= utf8.size()) {
            SequenciaInvalida(utf8, inicio);
        }
        const auto seguinte = static_cast<unsigned char>(utf8[posicao]);
        if ((seguinte & 0xC0) != 0x80) {
            SequenciaInvalida(utf8, inicio);
        }
        c = (c << 6) | (seguinte & 0x3F);
        ++posicao;
    }
    if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        SequenciaInvalida(utf8, inicio);
    }
    return c;
}

} // namespace

std::string Win1252ParaUtf8(std::string_view win1252) {
    std::string utf8;
    utf8.reserve(win1252.size());
    for (const char byte : win1252) {
        AcrescentaUtf8(utf8, CaractereDoByte(static_cast<unsigned char>(byte)));
    }
    return utf8;
}

std::string Utf8ParaWin1252(std::string_view utf8) {
    std::string win1252;
    win1252.reserve(utf8.size());
    std::size_t posicao = 0;
    while (posicao < utf8.size()) {
        const char32_t c = DecodificaUtf8(utf8, posicao);
        const int byte = ByteDoCaractere(c);
        if (byte < 0) {
            CaractereSemByte(c);
        }
        win1252 += static_cast<char>(byte);
    }
    return win1252;
}

} // namespace olvendra
