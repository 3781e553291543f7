#pragma once

#include <array>
#include <string_view>

namespace olvendra::admin {

enum class TipoDeColuna { Texto, Inteiro, Decimal };

// A column of MEDICOS as the prescriber files carry it.
struct ColunaMedicos {
    const char* nome;
    TipoDeColuna tipo;
    int largura;            // characters of a text column
    const char* rotuloUtf8; // the record panel's label; nullptr where the panel shows none
    bool umaLinha;          // a line break is replaced by a blank, as the record panel does
};

// Every column of MEDICOS, in the table's order.
inline constexpr std::array<ColunaMedicos, 22> ColunasMedicos = {{
    {"CRM", TipoDeColuna::Texto, 10, "Nº Registro", true},
    {"ESPECIALIDADE", TipoDeColuna::Texto, 25, "Especialidade", true},
    {"NOME", TipoDeColuna::Texto, 40, "Nome do Profissional", true},
    {"ENDERECO", TipoDeColuna::Texto, 60, "Endereço", true},
    {"COMPLEMENTO", TipoDeColuna::Texto, 30, "Bairro", true},
    {"CEP", TipoDeColuna::Texto, 10, "CEP", true},
    {"CIDADE", TipoDeColuna::Texto, 30, "Cidade", true},
    {"ESTADO", TipoDeColuna::Texto, 2, "Estado", true},
    {"TELEFONES", TipoDeColuna::Texto, 30, "Telefones", true},
    {"QDEFORMULAS", TipoDeColuna::Inteiro, 0, nullptr, true},
    {"VALORTOTAL", TipoDeColuna::Decimal, 0, nullptr, true},
    {"COMISSPERC", TipoDeColuna::Decimal, 0, "Comissão %", true},
    {"COMISSAO", TipoDeColuna::Decimal, 0, "Desconto %", true},
    {"DATAANIVERSARIO", TipoDeColuna::Texto, 5, "Data Aniversário", true},
    {"OBSERVACAO", TipoDeColuna::Texto, 250, "Observação", false},
    {"E_MAIL", TipoDeColuna::Texto, 60, "E-mail", true},
    {"NOME_SECRETARIA", TipoDeColuna::Texto, 40, "Secretária", true},
    {"ANIV_SECRETARIA", TipoDeColuna::Texto, 5, "Data Aniv. Secretária", true},
    {"ATENDENTE", TipoDeColuna::Texto, 20, "Cadastrado por", true},
    {"REPRESENTANTE", TipoDeColuna::Texto, 40, "Representante", true},
    {"CONSELHOPROFISSIONAL", TipoDeColuna::Texto, 10, "Conselho", true},
    {"UFCONSELHO", TipoDeColuna::Texto, 10, "UF", true},
}};

// The position in ColunasMedicos of a column named by its name (letter case not significant)
// or by its label (compared as the Portuguese order compares: case and accents aside); -1 when
// the text names none. `nome` is Windows-1252.
int ColunaPeloNome(std::string_view nome);

} // namespace olvendra::admin
