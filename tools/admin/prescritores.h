#pragma once

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace olvendra::admin {

// The professionals of MEDICOS in and out of CSV files as a Brazilian spreadsheet reads and
// writes them. Messages are UTF-8 Portuguese.

// Writes every professional to `arquivo`: UTF-8 with byte order mark, ";" between fields, CRLF
// after each record, a header with the column names, then one record per professional in
// dictionary order of the name; numbers with a decimal comma. Answers the number written.
std::size_t ExportaCsv(const std::filesystem::path& banco, const std::filesystem::path& arquivo);

struct OpcoesDeImportacao {
    bool simulacao = false;   // check everything, write nothing
    bool formataNome = false; // the suite's configuration asks for FormataNome on names
};

struct ResultadoDaImportacao {
    std::size_t validas = 0;          // records that passed every rule
    std::size_t recusadas = 0;        // records refused
    std::vector<std::string> motivos; // "linha L, coluna C: reason", the first ones found
    bool gravou = false;              // the valid records were written
};

// Reads `arquivo` (UTF-8 with or without byte order mark, or Windows-1252, detected), checks
// every record with the record rules and writes them all in one transaction, or none when any
// record is refused (or with `simulacao`). Throws AdminError when the file or the database cannot
// be used at all (not CSV, unknown header).
ResultadoDaImportacao ImportaCsv(const std::filesystem::path& banco,
                                 const std::filesystem::path& arquivo,
                                 const OpcoesDeImportacao& opcoes);

// Writes the professionals and secretaries whose day/month birthday falls in `mes` (1 to 12),
// ordered by day then name, with telephone and e-mail: as aligned text, or as CSV like the export.
void Aniversariantes(const std::filesystem::path& banco, int mes, bool csv, std::ostream& saida);

} // namespace olvendra::admin
