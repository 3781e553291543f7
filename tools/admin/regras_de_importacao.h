#pragma once

#include "connection.h"

#include <array>
#include <string>
#include <vector>

namespace olvendra::admin {

// A refused value: the column (index into ColunasMedicos) and why, in UTF-8 Portuguese.
struct Problema {
    int coluna;
    std::string motivo;
};

// The record rules for one professional read from a file. `valores` holds the Windows-1252 text
// of every column (null where the file has no such column or an empty field) and is brought to
// the form the record panel stores: council and states in upper case, line breaks of one-line
// fields as blanks, numbers in their canonical form, the name through FormataNome when
// `formataNome`. Answers every rule the record breaks: the five mandatory fields in the order the
// record panel checks them, column widths, the council and state lists, the day/month form of the
// birthdays and the numbers.
std::vector<Problema> AplicaRegras(std::array<data::Value, 22>& valores, bool formataNome);

} // namespace olvendra::admin
