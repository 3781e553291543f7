#pragma once

#include <stdexcept>
#include <string>

namespace olvendra::data {

// A failure reported by the database client or server; what() is Firebird's own message text.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& message) : std::runtime_error(message) {}
};

// A refusal of the record-set layer itself ("Field 'CRM' must have a value", ...).
class RecordSetError : public std::runtime_error {
public:
    explicit RecordSetError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace olvendra::data
