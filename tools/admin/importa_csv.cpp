#include "prescritores.h"

#include "admin_commands.h"
#include "colunas_medicos.h"
#include "config/texto.h"
#include "connection.h"
#include "endereco_do_banco.h"
#include "errors.h"
#include "leitor_csv.h"
#include "regras_de_importacao.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

namespace olvendra::admin {

namespace {

// Only the first reasons are kept; the count of refused records is always complete.
constexpr std::size_t MotivosGuardados = 200;
using Valores = std::array<data::Value, 22>;

// The INSERT of one professional, every column a parameter.
std::string Insercao() {
    std::string colunas, valores;
    for (const ColunaMedicos& coluna : ColunasMedicos) {
        colunas += std::string(colunas.empty() ? "" : ", ") + coluna.nome;
        valores += valores.empty() ? "?" : ", ?";
    }
    return "insert into MEDICOS (" + colunas + ") values (" + valores + ")";
}

// A key as the primary key compares it: trailing blanks do not count.
std::string Chave(const std::string& crm, const std::string& especialidade) {
    auto semBrancos = [](std::string texto) {
        texto.erase(texto.find_last_not_of(' ') + 1);
        return texto;
    };
    return semBrancos(crm) + '\0' + semBrancos(especialidade);
}

class Importacao {
public:
    Importacao(std::istream& entrada, Codificacao codificacao, const OpcoesDeImportacao& opcoes)
        : leitor_(entrada), codificacao_(codificacao), opcoes_(opcoes) {}

    // Reads the header; AdminError when it does not name MEDICOS' columns.
    void leCabecalho() {
        RegistroCsv registro;
        if (!proximo(registro)) {
            throw AdminError("O arquivo está vazio: falta a linha de cabeçalho com os nomes das "
                             "colunas");
        }
        std::array<bool, 22> vista{};
        for (const std::string& campo : registro.campos) {
            const std::string nomeUtf8 = utf8(campo);
            int coluna = -1;
            try {
                coluna = ColunaPeloNome(paraWin1252(campo));
            } catch (const ErroDeCodificacao&) {
            }
            if (coluna < 0) {
                throw AdminError("linha " + std::to_string(registro.linha) + ", coluna \"" +
                                 nomeUtf8 +
                                 "\": não é uma coluna de MEDICOS nem um rótulo do cadastro");
            }
            if (vista[coluna]) {
                throw AdminError("linha " + std::to_string(registro.linha) + ", coluna \"" +
                                 nomeUtf8 + "\": a coluna " + ColunasMedicos[coluna].nome +
                                 " aparece duas vezes no cabeçalho");
            }
            vista[coluna] = true;
            colunaDoCampo_.push_back(coluna);
            nomeNoArquivo_[coluna] = nomeUtf8;
        }
        for (const char* obrigatoria :
             {"CRM", "CONSELHOPROFISSIONAL", "UFCONSELHO", "ESPECIALIDADE", "NOME"}) {
            int coluna = ColunaPeloNome(obrigatoria);
            if (!vista[coluna]) {
                throw AdminError("linha " + std::to_string(registro.linha) +
                                 ": falta no cabeçalho a coluna obrigatória " + obrigatoria +
                                 " (\"" + ColunasMedicos[coluna].rotuloUtf8 + "\")");
            }
        }
    }

    // The keys already in the database: a record repeating one is refused.
    void conheceChaves(data::Connection& conexao) {
        struct Chaves : data::RowSink {
            std::unordered_map<std::string, std::size_t>* chaves;
            void columns(const std::vector<data::Column>&) override {}
            void row(const std::string_view* valores, const bool*) override {
                chaves->emplace(Chave(std::string(valores[0]), std::string(valores[1])), 0);
            }
        } leitura;
        leitura.chaves = &chaves_;
        conexao.select("select CRM, ESPECIALIDADE from MEDICOS", {}, leitura);
    }

    // Checks every record; while none is refused, `grava` receives each valid one.
    void leRegistros(const std::function<void(const Valores&)>& grava) {
        RegistroCsv registro;
        for (;;) {
            try {
                if (!proximo(registro)) {
                    return;
                }
            } catch (const ErroCsv& erro) {
                // Nothing after a broken quote can be trusted to be where it seems.
                recusa(erro.linha, "-", erro.what());
                ++resultado.recusadas;
                return;
            }
            if (registro.campos.size() == 1 && registro.campos[0].empty()) {
                continue; // a blank line
            }
            confere(registro, grava);
        }
    }

    ResultadoDaImportacao resultado;

private:
    bool proximo(RegistroCsv& registro) { return leitor_.proximo(registro); }

    std::string paraWin1252(const std::string& bytes) const {
        return codificacao_ == Codificacao::Windows1252 ? bytes : Utf8ParaWin1252(bytes);
    }
    std::string utf8(const std::string& bytes) const {
        return codificacao_ == Codificacao::Windows1252 ? Win1252ParaUtf8(bytes) : bytes;
    }

    void recusa(std::size_t linha, const std::string& coluna, const std::string& motivo) {
        if (resultado.motivos.size() < MotivosGuardados) {
            resultado.motivos.push_back("linha " + std::to_string(linha) + ", coluna " + coluna +
                                        ": " + motivo);
        }
    }
    std::string nomeDaColuna(int coluna) const {
        return nomeNoArquivo_[coluna].empty() ? ColunasMedicos[coluna].nome
                                              : nomeNoArquivo_[coluna];
    }

    void confere(const RegistroCsv& registro, const std::function<void(const Valores&)>& grava) {
        std::vector<Problema> problemas;
        Valores valores{};
        if (registro.campos.size() != colunaDoCampo_.size()) {
            recusa(registro.linha, "-",
                   "a linha tem " + std::to_string(registro.campos.size()) +
                       " campos; o cabeçalho tem " + std::to_string(colunaDoCampo_.size()));
            ++resultado.recusadas;
            return;
        }
        for (std::size_t i = 0; i < registro.campos.size(); ++i) {
            const int coluna = colunaDoCampo_[i];
            if (registro.campos[i].empty()) {
                continue;
            }
            try {
                valores[coluna] = paraWin1252(registro.campos[i]);
            } catch (const ErroDeCodificacao&) {
                problemas.push_back({coluna, "o texto tem um caractere que o Windows-1252 não "
                                             "representa"});
            }
        }
        // A value that could not be read is not also reported as missing.
        for (const Problema& regra : AplicaRegras(valores, opcoes_.formataNome)) {
            if (std::none_of(problemas.begin(), problemas.end(),
                             [&](const Problema& p) { return p.coluna == regra.coluna; })) {
                problemas.push_back(regra);
            }
        }
        const std::string crm = valores[0].value_or("");
        const std::string especialidade = valores[1].value_or("");
        if (!crm.empty() && !especialidade.empty()) {
            auto [onde, nova] = chaves_.emplace(Chave(crm, especialidade), registro.linha);
            if (!nova) {
                const std::string quem = "o CRM " + Win1252ParaUtf8(crm) + " com a especialidade " +
                                         Win1252ParaUtf8(especialidade);
                problemas.push_back(
                    {0, onde->second == 0
                            ? quem + " já está cadastrado no banco de dados"
                            : quem + " já aparece na linha " + std::to_string(onde->second)});
            }
        }
        if (problemas.empty()) {
            ++resultado.validas;
            if (resultado.recusadas == 0) {
                grava(valores);
            }
            return;
        }
        ++resultado.recusadas;
        for (const Problema& problema : problemas) {
            recusa(registro.linha, nomeDaColuna(problema.coluna), problema.motivo);
        }
    }

    LeitorCsv leitor_;
    Codificacao codificacao_;
    OpcoesDeImportacao opcoes_;
    std::vector<int> colunaDoCampo_;
    std::array<std::string, 22> nomeNoArquivo_;
    std::unordered_map<std::string, std::size_t> chaves_; // key -> line; 0: in the database
};

} // namespace

ResultadoDaImportacao ImportaCsv(const std::filesystem::path& banco,
                                 const std::filesystem::path& arquivo,
                                 const OpcoesDeImportacao& opcoes) {
    RequireDatabase(banco);
    std::ifstream entrada(arquivo, std::ios::binary);
    if (!entrada) {
        throw AdminError("Não foi possível ler o arquivo " + arquivo.string());
    }
    const Codificacao codificacao = DetectaCodificacao(entrada);
    Importacao importacao(entrada, codificacao, opcoes);
    try {
        importacao.leCabecalho();
    } catch (const ErroCsv& erro) {
        throw AdminError("linha " + std::to_string(erro.linha) + ": " + erro.what());
    }
    data::Connection conexao(SettingsFor(banco));
    try {
        conexao.startTransaction();
        importacao.conheceChaves(conexao);
        // Prepared once: preparing costs far more than running the INSERT.
        std::unique_ptr<data::Connection::Prepared> insercao = conexao.prepare(Insercao());
        std::vector<data::Value> parametros;
        importacao.leRegistros([&](const Valores& valores) {
            if (opcoes.simulacao) {
                return;
            }
            parametros.assign(valores.begin(), valores.end());
            insercao->execute(parametros);
        });
        insercao.reset();
        ResultadoDaImportacao& resultado = importacao.resultado;
        if (resultado.recusadas == 0 && !opcoes.simulacao) {
            conexao.commit();
            resultado.gravou = true;
        } else {
            conexao.rollback();
        }
        return resultado;
    } catch (const data::DatabaseError& erro) {
        conexao.rollback();
        throw AdminError(erro.what());
    } catch (...) {
        conexao.rollback();
        throw;
    }
}

} // namespace olvendra::admin
