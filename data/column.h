#pragma once

#include <string>

namespace olvendra::data {

enum class ColumnType { Text, Integer, Decimal };

// One column of a record set, as described by the database for its statement.
struct Column {
    std::string name; // upper case, as the database reports it
    ColumnType type = ColumnType::Text;
    int width = 0;         // characters for text columns (Windows-1252: one byte each)
    int scale = 0;         // digits after the decimal point for decimal columns
    bool required = false; // NOT NULL in the table
};

} // namespace olvendra::data
