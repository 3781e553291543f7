#include "formata_nome.h"

#include <algorithm>
#include <vector>

namespace olvendra {

namespace {

bool EhBranco(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view SemBrancosNasPontas(std::string_view texto) {
    while (!texto.empty() && EhBranco(texto.front())) {
        texto.remove_prefix(1);
    }
    while (!texto.empty() && EhBranco(texto.back())) {
        texto.remove_suffix(1);
    }
    return texto;
}

char Maiuscula(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char Minuscula(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string EmMinusculas(std::string_view palavra) {
    std::string minusculas(palavra);
    std::transform(minusculas.begin(), minusculas.end(), minusculas.begin(), Minuscula);
    return minusculas;
}

bool EhParticula(std::string_view palavra) {
    std::string minusculas = EmMinusculas(palavra);
    return minusculas == "de" || minusculas == "da" || minusculas == "do" || minusculas == "das" ||
           minusculas == "dos";
}

} // namespace

// Any number of words is handled: the rules for the middle words apply to every word between the
// first and the last, so long texts shrink to initials instead of being cut or refused.
std::string FormataNome(std::string_view texto) {
    texto = SemBrancosNasPontas(texto);
    if (texto.empty()) {
        return {};
    }

    // Words are separated by spaces only; runs of spaces count as one.
    std::vector<std::string> palavras;
    for (std::size_t inicio = 0; inicio < texto.size();) {
        std::size_t fim = texto.find(' ', inicio);
        if (fim == std::string_view::npos) {
            fim = texto.size();
        }
        if (fim > inicio) {
            palavras.emplace_back(texto.substr(inicio, fim - inicio));
        }
        inicio = fim + 1;
    }

    const std::size_t n = palavras.size();
    std::vector<bool> particula(n);
    for (std::size_t k = 0; k < n; ++k) {
        particula[k] = EhParticula(palavras[k]);
        palavras[k] = EmMinusculas(palavras[k]);
        if (!particula[k]) {
            palavras[k][0] = Maiuscula(palavras[k][0]);
        }
    }
    const bool segundaEhParticula = n >= 2 && particula[1];

    std::string resultado;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t posicao = k + 1; // words are counted from 1
        std::string palavra = palavras[k];
        bool meio = n >= 3 && posicao >= 2 && posicao <= n - 1;
        if (meio && particula[k] && posicao >= 3) {
            continue;
        }
        if (meio && !particula[k] && (posicao >= 4 || (posicao == 3 && !segundaEhParticula))) {
            palavra = std::string(1, palavra[0]) + ".";
        }
        resultado += SemBrancosNasPontas(palavra);
        resultado += ' ';
    }
    std::replace(resultado.begin(), resultado.end(), '\'', ' ');
    return std::string(SemBrancosNasPontas(resultado));
}

} // namespace olvendra
