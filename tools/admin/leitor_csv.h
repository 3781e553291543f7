#pragma once

#include <cstddef>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace olvendra::admin {

// How a spreadsheet saved the file.
enum class Codificacao { Utf8ComBom, Utf8, Windows1252 };

// Reads the whole stream once and puts it back at its start: a UTF-8 byte order mark, or text
// that is valid UTF-8 throughout, is UTF-8; anything else is Windows-1252 (every byte is a
// character there).
Codificacao DetectaCodificacao(std::istream& entrada);

// A file that is not CSV at the given line; what() is UTF-8 Portuguese.
class ErroCsv : public std::runtime_error {
public:
    ErroCsv(std::size_t linha, const std::string& motivo)
        : std::runtime_error(motivo), linha(linha) {}
    std::size_t linha;
};

// One record: the line it starts on (counting from 1) and its fields as bytes of the file.
struct RegistroCsv {
    std::size_t linha = 0;
    std::vector<std::string> campos;
};

// Reads records one at a time, as a Brazilian spreadsheet writes them: fields separated by ";",
// records by CRLF, LF or CR; a field in double quotes may hold ";", line breaks and doubled
// quotes (RFC 4180). A quote inside an unquoted field is an ordinary character. Only the record
// being read is held in memory.
class LeitorCsv {
public:
    // Skips a UTF-8 byte order mark at the start.
    explicit LeitorCsv(std::istream& entrada);

    // The next record; false at the end of the file. Throws ErroCsv for a quoted field never
    // closed or followed by something other than a separator or a line break, a field over 64 KiB
    // and a record of more than 1000 fields.
    bool proximo(RegistroCsv& registro);

private:
    int le();
    int espia();
    // Consumes an LF after a CR, and counts the line.
    void fimDeLinha(int c);

    std::istream& entrada_;
    std::size_t linha_ = 1;
};

} // namespace olvendra::admin
