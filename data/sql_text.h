#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace olvendra::data {

// The columns of a SELECT's ORDER BY clause, upper case, in order ("NOME", "CRM"); empty when the
// statement has none. Table prefixes, quotes and ASC are dropped.
std::vector<std::string> OrderByColumns(std::string_view select);

// For each column of OrderByColumns, the collation its item names ("NOME collate WIN_PTBR" gives
// "WIN_PTBR"), upper case; empty for an item without COLLATE.
std::vector<std::string> OrderByCollations(std::string_view select);

// The table named after FROM ("MEDICOS"), upper case unless quoted.
std::string FromTable(std::string_view select);

std::string UpperAscii(std::string_view text);

} // namespace olvendra::data
