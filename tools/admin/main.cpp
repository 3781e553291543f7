// olvendra-admin: sets up and maintains the suite's database without the suite's other modules.
// It speaks Portuguese throughout, as the pharmacy's technician does.
#include "admin_commands.h"
#include "prescritores.h"

#include "config/caminhos.h"
#include "config/configuracao.h"
#include "config/texto.h"
#include "config/travas_firebird.h"

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Argumentos = std::vector<std::string>;

// A mistake in the command line: answered with the usage on standard error and exit code 2.
class ErroDeUso : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One command of the tool: its name, its arguments as the usage shows them, how many it takes and
// what it does with the database the command line chose.
struct Comando {
    const char* nome;
    const char* argumentos;
    const char* descricao;
    std::size_t minimo;
    std::size_t maximo;
    std::function<void(const std::filesystem::path& banco, const Argumentos&)> executa;
};

// FORMATA NOME DO CLIENTE of the suite's configuration beside this tool, as the program reads its
// own; off when there is none or it cannot be read.
bool FormataNomeConfigurado() {
    olvendra::TConfiguracao configuracao;
    try {
        if (olvendra::LeConfiguracao(olvendra::DiretorioDoPrograma(), configuracao) !=
            olvendra::ResultadoLeitura::Lida) {
            return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    return configuracao.FormataNomeCliente == "Sim";
}

int MesAtual() {
    std::time_t agora = std::time(nullptr);
    std::tm local{};
    localtime_r(&agora, &local);
    return local.tm_mon + 1;
}

// Removes `flag` from the arguments; true when it was there.
bool TiraOpcao(std::vector<std::string>& args, const std::string& flag) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == flag) {
            args.erase(it);
            return true;
        }
    }
    return false;
}

const std::vector<Comando>& Comandos() {
    using namespace olvendra;
    static const std::vector<Comando> comandos = {
        {"init-db", "[CAMINHO]", "cria o banco de dados com as tabelas da suíte", 0, 1,
         [](const std::filesystem::path& banco, const Argumentos& a) {
             admin::InitDb(a.empty() ? banco : std::filesystem::path(a[0]));
         }},
        {"add-user", "NOME SENHA ACESSO", "inclui um usuário (nome e senha gravados codificados)",
         3, 3,
         [](const std::filesystem::path& banco, const Argumentos& a) {
             admin::AddUser(banco, a[0], a[1], a[2]);
         }},
        {"access-for", "NOME", "mostra uma cadeia de acesso que deixa NOME entrar", 1, 1,
         [](const std::filesystem::path&, const Argumentos& a) {
             std::cout << Win1252ParaUtf8(admin::AccessFor(a[0])) << '\n';
         }},
        {"add-workarea", "CODIGO USUARIO CAMINHO", "inclui a área de trabalho de um usuário", 3, 3,
         [](const std::filesystem::path& banco, const Argumentos& a) {
             admin::AddWorkArea(banco, a[0], a[1], a[2]);
         }},
        {"add-specialty", "NOME", "inclui uma especialidade médica", 1, 1,
         [](const std::filesystem::path& banco, const Argumentos& a) {
             std::cout << admin::AddSpecialty(banco, a[0]) << '\n';
         }},
        {"seed-demo", "", "preenche um banco vazio com dados de demonstração", 0, 0,
         [](const std::filesystem::path& banco, const Argumentos&) { admin::SeedDemo(banco); }},
        {"codifica", "TEXTO", "mostra a forma codificada de um texto", 1, 1,
         [](const std::filesystem::path&, const Argumentos& a) {
             std::cout << admin::EncodeText(a[0]) << '\n';
         }},
        {"upgrade-db", "", "acrescenta o que falta a um banco de uma versão anterior", 0, 0,
         [](const std::filesystem::path& banco, const Argumentos&) {
             const std::vector<std::string> criados = admin::UpgradeDb(banco);
             if (criados.empty()) {
                 std::cout << "O banco de dados já está atualizado; nada foi alterado.\n";
             }
             for (const std::string& nome : criados) {
                 std::cout << "Criado o índice " << nome << ".\n";
             }
         }},
        {"export-csv", "ARQUIVO", "grava os profissionais num arquivo CSV", 1, 1,
         [](const std::filesystem::path& banco, const Argumentos& a) {
             std::cout << admin::ExportaCsv(banco, a[0]) << " profissionais gravados em " << a[0]
                       << ".\n";
         }},
        {"import-csv", "ARQUIVO [--dry-run]",
         "cadastra os profissionais de um CSV, todos ou nenhum (--dry-run: só confere)", 1, 2,
         [](const std::filesystem::path& banco, Argumentos a) {
             admin::OpcoesDeImportacao opcoes;
             opcoes.simulacao = TiraOpcao(a, "--dry-run");
             opcoes.formataNome = FormataNomeConfigurado();
             if (a.size() != 1) {
                 throw ErroDeUso("import-csv recebe um ARQUIVO e, se quiser, --dry-run");
             }
             const admin::ResultadoDaImportacao resultado = admin::ImportaCsv(banco, a[0], opcoes);
             for (const std::string& motivo : resultado.motivos) {
                 std::cerr << motivo << '\n';
             }
             if (resultado.recusadas > 0) {
                 throw admin::AdminError(std::to_string(resultado.recusadas) +
                                         " linha(s) recusada(s); nenhum profissional foi gravado");
             }
             if (resultado.gravou) {
                 std::cout << resultado.validas << " profissionais cadastrados.\n";
             } else {
                 std::cout << resultado.validas
                           << " linhas conferidas sem erros; nada foi gravado (--dry-run).\n";
             }
         }},
        {"aniversariantes", "[--mes M] [--csv]", "aniversariantes do mês (padrão: o mês atual)", 0,
         3,
         [](const std::filesystem::path& banco, Argumentos a) {
             const bool csv = TiraOpcao(a, "--csv");
             int mes = MesAtual();
             if (a.size() == 2 && a[0] == "--mes") {
                 const std::string& texto = a[1];
                 if (texto.empty() || texto.size() > 2 ||
                     texto.find_first_not_of("0123456789") != std::string::npos) {
                     throw admin::AdminError("O mês deve ser um número de 1 a 12");
                 }
                 mes = std::stoi(texto);
             } else if (!a.empty()) {
                 throw ErroDeUso("aniversariantes recebe --mes M e --csv");
             }
             admin::Aniversariantes(banco, mes, csv, std::cout);
         }},
    };
    return comandos;
}

std::string Uso() {
    std::ostringstream uso;
    uso << "uso: olvendra-admin [--db CAMINHO] COMANDO [ARGUMENTOS]\n"
           "     olvendra-admin --help | --version\n"
           "comandos:\n";
    for (const Comando& comando : Comandos()) {
        const std::string chamada = std::string(comando.nome) + ' ' + comando.argumentos;
        uso << "  " << std::left << std::setw(38) << chamada << comando.descricao << '\n';
    }
    uso << "O banco de dados é CAMINHO, ou $OLVENDRA_DIR/dados/olvendra.bd (padrão "
           "/opt/olvendra).\n"
           "CAMINHO pode ser SERVIDOR[/PORTA]:CAMINHO, um banco num servidor Firebird: o usuário "
           "é\n"
           "ISC_USER (padrão SYSDBA), a senha ISC_PASSWORD ou pedida no terminal.\n";
    return uso.str();
}

const Comando& ComandoChamado(const std::string& nome) {
    for (const Comando& comando : Comandos()) {
        if (nome == comando.nome) {
            return comando;
        }
    }
    throw ErroDeUso("comando desconhecido \"" + nome + "\"");
}

int Executa(Argumentos args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << Uso();
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "olvendra-admin " << OLVENDRA_VERSION << '\n';
        return 0;
    }
    std::filesystem::path banco = olvendra::RaizDaSuite() / "dados" / "olvendra.bd";
    if (!args.empty() && args[0] == "--db") {
        if (args.size() < 2) {
            throw ErroDeUso("--db precisa de um caminho");
        }
        banco = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        throw ErroDeUso("nenhum comando informado");
    }
    const Comando& comando = ComandoChamado(args[0]);
    olvendra::UsaPastaDeTravasDaSuite();
    const Argumentos argumentos(args.begin() + 1, args.end());
    if (argumentos.size() < comando.minimo || argumentos.size() > comando.maximo) {
        throw ErroDeUso(std::string(comando.nome) + " recebe " +
                        (comando.minimo == comando.maximo ? std::to_string(comando.minimo)
                                                          : std::to_string(comando.minimo) + " a " +
                                                                std::to_string(comando.maximo)) +
                        " argumento(s)");
    }
    comando.executa(banco, argumentos);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Executa(Argumentos(argv + 1, argv + argc));
    } catch (const ErroDeUso& erro) {
        std::cerr << "olvendra-admin: " << erro.what() << '\n' << Uso();
        return 2;
    } catch (const std::exception& erro) {
        std::cerr << "olvendra-admin: " << erro.what() << '\n';
        return 1;
    }
}
