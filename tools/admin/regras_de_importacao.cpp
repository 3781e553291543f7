#include "regras_de_importacao.h"

#include "colunas_medicos.h"
#include "config/texto.h"
#include "number_text.h"
#include "registry/formata_nome.h"

#include <algorithm>
#include <limits>

namespace olvendra::admin {

namespace {

constexpr std::string_view Conselhos[] = {"CRM",   "CRMV",    "CRO", "CRN",   "CRF",
                                          "COREN", "CREFITO", "RMS", "OUTROS"};
constexpr std::string_view Estados[] = {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO",
                                        "MA", "MG", "MS", "MT", "PA", "PB", "PE", "PI", "PR",
                                        "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};

// The mandatory fields in the order the record panel examines them.
constexpr std::string_view Obrigatorios[] = {"CRM", "CONSELHOPROFISSIONAL", "UFCONSELHO",
                                             "ESPECIALIDADE", "NOME"};

int Indice(std::string_view nome) {
    for (std::size_t i = 0; i < ColunasMedicos.size(); ++i) {
        if (nome == ColunasMedicos[i].nome) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <std::size_t N>
bool NaLista(const std::string& valor, const std::string_view (&lista)[N]) {
    return std::find(std::begin(lista), std::end(lista), valor) != std::end(lista);
}

std::string Rotulo(const ColunaMedicos& coluna) {
    return coluna.rotuloUtf8 ? coluna.rotuloUtf8 : coluna.nome;
}

// "dd/mm" with a day that the month has (29 February included).
bool DiaMesValido(const std::string& texto) {
    if (texto.size() != 5 || texto[2] != '/') {
        return false;
    }
    for (int i : {0, 1, 3, 4}) {
        if (texto[i] < '0' || texto[i] > '9') {
            return false;
        }
    }
    const int dia = (texto[0] - '0') * 10 + (texto[1] - '0');
    const int mes = (texto[3] - '0') * 10 + (texto[4] - '0');
    constexpr int Dias[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return mes >= 1 && mes <= 12 && dia >= 1 && dia <= Dias[mes - 1];
}

// The canonical text of a number, or a reason it is not one the column holds.
std::string Numero(const ColunaMedicos& coluna, const std::string& texto, std::string& motivo) {
    const bool inteiro = coluna.tipo == TipoDeColuna::Inteiro;
    const int escala = inteiro ? 0 : 2;
    const auto valor = data::ParseScaled(texto, escala, ',');
    // numeric(15,2) holds 15 digits; integer holds 32 bits.
    const std::int64_t limite =
        inteiro ? std::numeric_limits<std::int32_t>::max() : std::int64_t{999'999'999'999'999};
    if (!valor || (inteiro && texto.find_first_of(".,") != std::string::npos) || *valor > limite ||
        *valor < (inteiro ? -limite - 1 : -limite)) {
        motivo = "\"" + Win1252ParaUtf8(texto) + "\" não é " +
                 (inteiro ? "um número inteiro" : "um número com até 2 casas decimais") +
                 " que a coluna aceite";
        return {};
    }
    char buffer[24];
    return std::string(data::ScaledToText(*valor, escala, buffer));
}

} // namespace

std::vector<Problema> AplicaRegras(std::array<data::Value, 22>& valores, bool formataNome) {
    std::vector<Problema> problemas;
    std::vector<Problema> numeros;
    auto texto = [&](int i) -> std::string { return valores[i] ? *valores[i] : std::string(); };

    for (std::size_t i = 0; i < ColunasMedicos.size(); ++i) {
        const ColunaMedicos& coluna = ColunasMedicos[i];
        if (!valores[i]) {
            continue;
        }
        std::string& valor = *valores[i];
        if (coluna.umaLinha) {
            std::replace_if(
                valor.begin(), valor.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        }
        if (coluna.tipo != TipoDeColuna::Texto) {
            std::string motivo;
            std::string canonico = Numero(coluna, valor, motivo);
            if (!motivo.empty()) {
                numeros.push_back({static_cast<int>(i), motivo});
            } else {
                valor = canonico;
            }
        }
    }
    const int nome = Indice("NOME");
    if (formataNome && valores[nome]) {
        valores[nome] = FormataNome(*valores[nome]);
    }
    for (const char* coluna : {"CONSELHOPROFISSIONAL", "UFCONSELHO", "ESTADO"}) {
        if (valores[Indice(coluna)]) {
            valores[Indice(coluna)] = MaiusculasAZ(*valores[Indice(coluna)]);
        }
    }

    for (std::string_view obrigatorio : Obrigatorios) {
        const int i = Indice(obrigatorio);
        if (texto(i).empty()) {
            problemas.push_back(
                {i, "campo \"" + Rotulo(ColunasMedicos[i]) + "\" não foi preenchido"});
        }
    }
    for (std::size_t i = 0; i < ColunasMedicos.size(); ++i) {
        const ColunaMedicos& coluna = ColunasMedicos[i];
        const std::string valor = texto(static_cast<int>(i));
        if (coluna.tipo == TipoDeColuna::Texto && valor.size() > std::size_t(coluna.largura)) {
            problemas.push_back({static_cast<int>(i), "o texto tem " +
                                                          std::to_string(valor.size()) +
                                                          " caracteres; a coluna aceita " +
                                                          std::to_string(coluna.largura)});
        }
    }
    const std::string conselho = texto(Indice("CONSELHOPROFISSIONAL"));
    if (!conselho.empty() && !NaLista(conselho, Conselhos)) {
        problemas.push_back({Indice("CONSELHOPROFISSIONAL"),
                             "\"" + Win1252ParaUtf8(conselho) +
                                 "\" não é um conselho da lista (CRM, CRMV, CRO, CRN, CRF, "
                                 "COREN, CREFITO, RMS, OUTROS)"});
    }
    for (const char* coluna : {"UFCONSELHO", "ESTADO"}) {
        const std::string uf = texto(Indice(coluna));
        if (!uf.empty() && !NaLista(uf, Estados)) {
            problemas.push_back({Indice(coluna), "\"" + Win1252ParaUtf8(uf) +
                                                     "\" não é a sigla de um estado brasileiro"});
        }
    }
    for (const char* coluna : {"DATAANIVERSARIO", "ANIV_SECRETARIA"}) {
        const std::string data = texto(Indice(coluna));
        if (!data.empty() && !DiaMesValido(data)) {
            problemas.push_back({Indice(coluna), "\"" + Win1252ParaUtf8(data) +
                                                     "\" não é um dia e mês na forma dd/mm"});
        }
    }
    problemas.insert(problemas.end(), numeros.begin(), numeros.end());
    return problemas;
}

} // namespace olvendra::admin
