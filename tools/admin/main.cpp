// olvendra-admin: sets up and maintains the suite's database without the suite's other modules.
#include "admin_commands.h"
#include "prescritores.h"

#include "config/caminhos.h"
#include "config/configuracao.h"
#include "config/erro_inesperado.h"
#include "config/texto.h"

#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* Usage =
    "usage: olvendra-admin [--db PATH] COMMAND [ARGUMENTS]\n"
    "  init-db [PATH]                        create the database with the suite's tables\n"
    "  add-user NAME PASSWORD ACCESS-STRING  add a user (name and password stored encoded)\n"
    "  access-for NAME                       print an access string that lets NAME log in\n"
    "  add-workarea CODE USER DBPATH         add a work area for a user\n"
    "  add-specialty NAME                    add a medical specialty\n"
    "  seed-demo                             fill an empty database with demo data\n"
    "  codifica TEXT                         print the encoded form of a text\n"
    "  upgrade-db                            acrescenta o que falta a um banco de uma versão "
    "anterior\n"
    "  export-csv ARQUIVO                    grava os profissionais num arquivo CSV\n"
    "  import-csv ARQUIVO [--dry-run]        cadastra os profissionais de um arquivo CSV, todos "
    "ou\n"
    "                                        nenhum (--dry-run: só confere)\n"
    "  aniversariantes [--mes M] [--csv]     aniversariantes do mês (padrão: o mês atual)\n"
    "The database is PATH, or $OLVENDRA_DIR/dados/olvendra.bd (default /opt/olvendra).\n"
    "PATH may be HOST[/PORTA]:CAMINHO, a database on a Firebird server: the user is ISC_USER\n"
    "(default SYSDBA), the password ISC_PASSWORD or asked for on the terminal.\n";

// FORMATA NOME DO CLIENTE of the suite's configuration beside this tool, as the program reads its
// own; off when there is none or it cannot be read.
bool FormataNomeConfigurado() {
    olvendra::TConfiguracao configuracao;
    try {
        if (olvendra::LeConfiguracao(olvendra::DiretorioDoPrograma(), configuracao) !=
            olvendra::ResultadoLeitura::Lida)
            return false;
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
    for (auto it = args.begin() + 1; it != args.end(); ++it)
        if (*it == flag) {
            args.erase(it);
            return true;
        }
    return false;
}

int Run(std::vector<std::string> args) {
    using namespace olvendra;
    std::filesystem::path database = RaizDaSuite() / "dados" / "olvendra.bd";
    if (args.size() >= 2 && args[0] == "--db") {
        database = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        throw admin::AdminError(std::string("no command given\n") + Usage);
    const std::string command = args[0];
    auto expect = [&](std::size_t count) {
        if (args.size() != count + 1)
            throw admin::AdminError(command + " takes " + std::to_string(count) + " argument(s)\n" +
                                    Usage);
    };
    if (command == "init-db") {
        if (args.size() > 2)
            expect(1);
        admin::InitDb(args.size() == 2 ? std::filesystem::path(args[1]) : database);
    } else if (command == "add-user") {
        expect(3);
        admin::AddUser(database, args[1], args[2], args[3]);
    } else if (command == "access-for") {
        expect(1);
        std::cout << Win1252ParaUtf8(admin::AccessFor(args[1])) << '\n';
    } else if (command == "add-workarea") {
        expect(3);
        admin::AddWorkArea(database, args[1], args[2], args[3]);
    } else if (command == "add-specialty") {
        expect(1);
        std::cout << admin::AddSpecialty(database, args[1]) << '\n';
    } else if (command == "seed-demo") {
        expect(0);
        admin::SeedDemo(database);
    } else if (command == "codifica") {
        expect(1);
        std::cout << admin::EncodeText(args[1]) << '\n';
    } else if (command == "upgrade-db") {
        expect(0);
        const std::vector<std::string> added = admin::UpgradeDb(database);
        if (added.empty())
            std::cout << "O banco de dados já está atualizado; nada foi alterado.\n";
        for (const std::string& name : added)
            std::cout << "Criado o índice " << name << ".\n";
    } else if (command == "export-csv") {
        expect(1);
        std::cout << admin::ExportaCsv(database, args[1]) << " profissionais gravados em "
                  << args[1] << ".\n";
    } else if (command == "import-csv") {
        admin::OpcoesDeImportacao opcoes;
        opcoes.simulacao = TiraOpcao(args, "--dry-run");
        opcoes.formataNome = FormataNomeConfigurado();
        expect(1);
        const admin::ResultadoDaImportacao resultado = admin::ImportaCsv(database, args[1], opcoes);
        for (const std::string& motivo : resultado.motivos)
            std::cerr << motivo << '\n';
        if (resultado.recusadas > 0)
            throw admin::AdminError(std::to_string(resultado.recusadas) +
                                    " linha(s) recusada(s); nenhum profissional foi gravado");
        if (resultado.gravou)
            std::cout << resultado.validas << " profissionais cadastrados.\n";
        else
            std::cout << resultado.validas
                      << " linhas conferidas sem erros; nada foi gravado (--dry-run).\n";
    } else if (command == "aniversariantes") {
        const bool csv = TiraOpcao(args, "--csv");
        int mes = MesAtual();
        for (std::size_t i = 1; i + 1 < args.size(); ++i)
            if (args[i] == "--mes") {
                const std::string& texto = args[i + 1];
                if (texto.empty() || texto.size() > 2 ||
                    texto.find_first_not_of("0123456789") != std::string::npos)
                    throw admin::AdminError("O mês deve ser um número de 1 a 12");
                mes = std::stoi(texto);
                args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                           args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
                break;
            }
        expect(0);
        admin::Aniversariantes(database, mes, csv, std::cout);
    } else {
        throw admin::AdminError("unknown command \"" + command + "\"\n" + Usage);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "olvendra-admin: " << error.what() << '\n';
        return 1;
    }
}
