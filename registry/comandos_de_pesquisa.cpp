#include "registry/comandos_de_pesquisa.h"

namespace olvendra::registry {

namespace {

// A text parameter takes the declared length of the cast around it.
std::string Texto(std::size_t tamanho) {
    return "CAST(? AS VARCHAR(" + std::to_string(tamanho == 0 ? 1 : tamanho) + "))";
}

// `coluna` is the compared expression: a column, or a column with its collation.
Comando ComecaCom(const std::string& campos, const std::string& coluna, const std::string& inicio,
                  const std::string& ordem) {
    const std::string padrao = inicio + "%";
    const std::string literal = padrao.substr(0, padrao.find_first_of("%_"));
    Comando comando;
    comando.sql = "select " + campos + " from MEDICOS where ";
    if (!literal.empty()) {
        comando.sql += coluna + " starting with " + Texto(literal.size()) + " and ";
        comando.parametros.emplace_back(literal);
    }
    comando.sql += coluna + " like " + Texto(padrao.size()) + " order by " + ordem;
    comando.parametros.emplace_back(padrao);
    return comando;
}

// The name compared and ordered in Portuguese: case, accents and cedilla do not count, and the
// order is the dictionary's. The database's expression index on the same expression serves both.
const std::string NomeEmPortugues = "NOME collate WIN_PTBR";

} // namespace

Comando ComandoPorNome(const std::string& campos, const std::string& nomeNormalizado) {
    return ComecaCom(campos, NomeEmPortugues, nomeNormalizado, NomeEmPortugues + ", CRM");
}

Comando ComandoPorCRM(const std::string& campos, const std::string& crm) {
    return ComecaCom(campos, "CRM", crm, "CRM");
}

Comando ComandoCompleto(const std::string& campos, const std::string& separador) {
    return {"select " + campos + " from MEDICOS order by " + NomeEmPortugues + separador + "CRM",
            {}};
}

} // namespace olvendra::registry
