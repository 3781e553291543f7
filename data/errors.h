#pragma once

#include <stdexcept>
#include <string>

namespace olvendra::data {

// A failure reported by the database client or server; what() is Firebird's own message text.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& message, bool connectionLost = false)
        : std::runtime_error(message), connectionLost_(connectionLost) {}
    // The link to the database itself failed (not a refused statement).
    bool connectionLost() const { return connectionLost_; }

private:
    bool connectionLost_;
};

// A refusal of the record-set layer itself ("Field 'CRM' must have a value", ...).
class RecordSetError : public std::runtime_error {
public:
    explicit RecordSetError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace olvendra::data
