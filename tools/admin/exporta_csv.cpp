#include "prescritores.h"

#include "admin_commands.h"
#include "colunas_medicos.h"
#include "config/texto.h"
#include "connection.h"
#include "endereco_do_banco.h"
#include "errors.h"
#include "escritor_csv.h"

#include <fstream>

namespace olvendra::admin {

namespace {

std::string ListaDeColunas() {
    std::string lista;
    for (const ColunaMedicos& coluna : ColunasMedicos) {
        lista += std::string(lista.empty() ? "" : ", ") + coluna.nome;
    }
    return lista;
}

// Streams each professional to the file as it is fetched.
class Exportador : public data::RowSink {
public:
    explicit Exportador(std::ostream& saida) : saida_(saida) {}
    void columns(const std::vector<data::Column>&) override {}
    void row(const std::string_view* valores, const bool* nulos) override {
        for (std::size_t i = 0; i < ColunasMedicos.size(); ++i) {
            campos_[i] = nulos[i] ? std::string() : Win1252ParaUtf8(valores[i]);
            if (ColunasMedicos[i].tipo == TipoDeColuna::Decimal) {
                for (char& c : campos_[i]) {
                    if (c == '.') {
                        c = ',';
                    }
                }
            }
        }
        EscreveRegistro(saida_, campos_);
        ++escritos;
    }
    std::size_t escritos = 0;

private:
    std::ostream& saida_;
    std::vector<std::string> campos_ = std::vector<std::string>(ColunasMedicos.size());
};

} // namespace

std::size_t ExportaCsv(const std::filesystem::path& banco, const std::filesystem::path& arquivo) {
    RequireDatabase(banco);
    std::ofstream saida(arquivo, std::ios::binary | std::ios::trunc);
    if (!saida) {
        throw AdminError("Não foi possível criar o arquivo " + arquivo.string());
    }
    saida << MarcaUtf8;
    std::vector<std::string> cabecalho;
    for (const ColunaMedicos& coluna : ColunasMedicos) {
        cabecalho.emplace_back(coluna.nome);
    }
    EscreveRegistro(saida, cabecalho);
    Exportador exportador(saida);
    try {
        data::Connection conexao(SettingsFor(banco));
        conexao.select("select " + ListaDeColunas() +
                           " from MEDICOS order by NOME collate WIN_PTBR, CRM, ESPECIALIDADE",
                       {}, exportador);
    } catch (const data::DatabaseError& erro) {
        throw AdminError(erro.what());
    }
    saida.close();
    if (!saida) {
        throw AdminError("Não foi possível gravar o arquivo " + arquivo.string());
    }
    return exportador.escritos;
}

} // namespace olvendra::admin
