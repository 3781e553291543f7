#include "prescritores.h"

#include "admin_commands.h"
#include "config/texto.h"
#include "connection.h"
#include "endereco_do_banco.h"
#include "errors.h"
#include "escritor_csv.h"

#include <algorithm>

namespace olvendra::admin {

namespace {

// Day, name, kind, the professional's name, telephones, e-mail; Windows-1252.
using Linha = std::array<std::string, 6>;

// A professional with several specialties is one person: the same birthday is listed once.
constexpr const char* Consulta =
    "select distinct DIA, NOME, TIPO, PROFISSIONAL, TELEFONES, E_MAIL from ("
    "select substring(DATAANIVERSARIO from 1 for 2) DIA, NOME, 'P' TIPO, NOME PROFISSIONAL, "
    "TELEFONES, E_MAIL from MEDICOS where DATAANIVERSARIO like ? "
    "union all "
    "select substring(ANIV_SECRETARIA from 1 for 2), NOME_SECRETARIA, 'S', NOME, TELEFONES, "
    "E_MAIL from MEDICOS where ANIV_SECRETARIA like ?) "
    "order by DIA, NOME collate WIN_PTBR, PROFISSIONAL collate WIN_PTBR";

std::string Vinculo(const Linha& linha) {
    return linha[2] == "P" ? "Profissional" : Utf8ParaWin1252("Secretária");
}

std::string Preenche(std::string texto, std::size_t largura) {
    if (texto.size() < largura) {
        texto.append(largura - texto.size(), ' ');
    }
    return texto;
}

} // namespace

void Aniversariantes(const std::filesystem::path& banco, int mes, bool csv, std::ostream& saida) {
    if (mes < 1 || mes > 12) {
        throw AdminError("O mês deve ser um número de 1 a 12");
    }
    RequireDatabase(banco);
    struct Coleta : data::RowSink {
        std::vector<Linha> linhas;
        void columns(const std::vector<data::Column>&) override {}
        void row(const std::string_view* valores, const bool*) override {
            Linha linha;
            for (std::size_t i = 0; i < linha.size(); ++i) {
                linha[i] = std::string(valores[i]);
            }
            linhas.push_back(std::move(linha));
        }
    } coleta;
    const std::string padrao = std::string("__/") + (mes < 10 ? "0" : "") + std::to_string(mes);
    try {
        data::Connection conexao(SettingsFor(banco));
        conexao.select(Consulta, {padrao, padrao}, coleta);
    } catch (const data::DatabaseError& erro) {
        throw AdminError(erro.what());
    }
    const std::string mm = padrao.substr(2);
    if (csv) {
        EscreveRegistro(saida, {"Dia", "Nome", "Vínculo", "Profissional", "Telefones", "E-mail"});
        for (const Linha& linha : coleta.linhas) {
            EscreveRegistro(saida, {linha[0] + mm, Win1252ParaUtf8(linha[1]),
                                    Win1252ParaUtf8(Vinculo(linha)), Win1252ParaUtf8(linha[3]),
                                    Win1252ParaUtf8(linha[4]), Win1252ParaUtf8(linha[5])});
        }
        return;
    }
    if (coleta.linhas.empty()) {
        saida << "Nenhum aniversariante no mês " << mes << ".\n";
        return;
    }
    // Aligned columns, counted in characters (one byte each in Windows-1252).
    std::size_t nome = 4, vinculo = 7, telefones = 9;
    for (const Linha& linha : coleta.linhas) {
        nome = std::max(nome, linha[1].size());
        vinculo =
            std::max(vinculo, Vinculo(linha).size() + (linha[2] == "S" ? 4 + linha[3].size() : 0));
        telefones = std::max(telefones, linha[4].size());
    }
    auto escreve = [&](const std::string& dia, const std::string& n, const std::string& v,
                       const std::string& t, const std::string& e) {
        std::string texto = Preenche(dia, 6) + Preenche(n, nome + 2) + Preenche(v, vinculo + 2) +
                            Preenche(t, telefones + 2) + e;
        texto.erase(texto.find_last_not_of(' ') + 1);
        saida << Win1252ParaUtf8(texto) << '\n';
    };
    escreve("Dia", "Nome", Utf8ParaWin1252("Vínculo"), "Telefones", "E-mail");
    for (const Linha& linha : coleta.linhas) {
        escreve(linha[0] + mm, linha[1],
                linha[2] == "S" ? Vinculo(linha) + " de " + linha[3] : Vinculo(linha), linha[4],
                linha[5]);
    }
}

} // namespace olvendra::admin
