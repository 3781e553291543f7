// olvendra-admin: sets up and maintains the suite's database without the suite's other modules.
#include "admin_commands.h"

#include "config/caminhos.h"
#include "config/texto.h"

#include <cstring>
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
    "The database is PATH, or $OLVENDRA_DIR/dados/olvendra.bd (default /opt/olvendra).\n";

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
