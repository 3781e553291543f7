#include "registry/comandos_de_pesquisa.h"

namespace olvendra::registry {

namespace {

// A text parameter takes the declared length of the cast around it.
std::string Texto(std::size_t tamanho) {
    return "CAST(? AS VARCHAR(" + std::to_string(tamanho == 0 ? 1 : tamanho) + "))";
}

Comando ComecaCom(const std::string& campos, const char* coluna, const std::string& inicio,
                  const char* ordem) {
    const std::string padrao = inicio + "%";
    const std::string literal = padrao.substr(0, padrao.find_first_of("%_"));
    Comando comando;
    comando.sql = "select " + campos + " from MEDICOS where ";
    if (!literal.empty()) {
        comando.sql += std::string(coluna) + " starting with " + Texto(literal.size()) + " and ";
        comando.parametros.emplace_back(literal);
    }
    comando.sql += std::string(coluna) + " like " + Texto(padrao.size()) + " order by " + ordem;
    comando.parametros.emplace_back(padrao);
    return comando;
}

} // namespace

Comando ComandoPorNome(const std::string& campos, const std::string& nomeNormalizado) {
    return ComecaCom(campos, "NOME", nomeNormalizado, "NOME, CRM");
}

Comando ComandoPorCRM(const std::string& campos, const std::string& crm) {
    return ComecaCom(campos, "CRM", crm, "CRM");
}

Comando ComandoCompleto(const std::string& campos, const std::string& separador) {
    return {"select " + campos + " from MEDICOS order by NOME" + separador + "CRM", {}};
}

} // namespace olvendra::registry
