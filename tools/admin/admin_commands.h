#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace olvendra::admin {

// A refused command: what() says why, in the words the pharmacy's administrator reads.
class AdminError : public std::runtime_error {
public:
    explicit AdminError(const std::string& message) : std::runtime_error(message) {}
};

// Every command takes its texts in UTF-8 (as typed in a terminal) and stores Windows-1252. Each
// command is one transaction: it either happens completely or leaves the database untouched.

// A database is a local file or "host[/port]:path" on a Firebird server (endereco_do_banco.h).

// Creates the database file with the suite's schema; refuses an existing file.
void InitDb(const std::filesystem::path& database);

// Adds what a database made by an older suite lacks, in one transaction, touching no data;
// answers the names of what was added (none when it was up to date).
std::vector<std::string> UpgradeDb(const std::filesystem::path& database);

// A user row: name and password stored in their encoded form (of their upper case), exactly as
// the login looks them up.
void AddUser(const std::filesystem::path& database, const std::string& name,
             const std::string& password, const std::string& access);

void AddWorkArea(const std::filesystem::path& database, const std::string& code,
                 const std::string& user, const std::string& databasePath);

// Adds a specialty with the next free code; returns that code.
int AddSpecialty(const std::filesystem::path& database, const std::string& name);

// The encoded form of a text as given (UTF-8 in, encoded as Windows-1252 first).
std::string EncodeText(const std::string& text);

// An access string that passes the login's test for `name`: its fourth character is the name's
// upper-case initial shifted by 5.
std::string AccessFor(const std::string& name);

// Fills an empty database with a realistic demo: users, work areas, specialties, professionals.
void SeedDemo(const std::filesystem::path& database);

} // namespace olvendra::admin
