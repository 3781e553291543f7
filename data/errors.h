#pragma once

#include <stdexcept>
#include <string>

namespace olvendra::data {

// Why the database refused a statement, where the program answers each differently.
enum class Refusal {
    Other,
    Duplicate,     // a row with the same unique key exists
    LockTimeout,   // another transaction held the row for longer than the lock timeout
    UpdateConflict // another transaction changed the row and committed meanwhile
};

// A failure reported by the database client or server; what() is Firebird's own message text.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& message, bool connectionLost = false,
                           Refusal refusal = Refusal::Other)
        : std::runtime_error(message), connectionLost_(connectionLost), refusal_(refusal) {}
    // The link to the database itself failed (not a refused statement).
    bool connectionLost() const { return connectionLost_; }
    Refusal refusal() const { return refusal_; }

private:
    bool connectionLost_;
    Refusal refusal_;
};

// A refusal of the record-set layer itself ("Field 'CRM' must have a value", ...).
class RecordSetError : public std::runtime_error {
public:
    explicit RecordSetError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace olvendra::data
