#pragma once

#include "column.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace olvendra::data {

// A value as the record sets hold it: Windows-1252 text, or null. Numbers are held as their
// canonical text ("42", "-0.5", "12.25").
using Value = std::optional<std::string>;

struct ConnectionSettings {
    std::string clientLibrary = "libfbclient.so.2"; // dlopen'ed; a bare name uses the system search
    std::string database;                           // "host:path" or a local path (embedded engine)
    std::string userName = "SYSDBA";
    std::string password = "masterkey";
    std::string roleName = "RoleName";
    int sqlDialect = 3;
    // A statement waits this long for a row that another transaction holds, then fails.
    int lockTimeoutSeconds = 10;
    // A server that gives no answer for this long (a paused or unreachable host, whose kernel
    // may still acknowledge every packet) is taken for a dropped connection. Longer than the
    // lock timeout, so that a lock wait always ends first.
    int answerTimeoutSeconds = 20;
};

// Receives the described columns of a SELECT, then each row's values in column order.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void columns(const std::vector<Column>& columns) = 0;
    // values[i] is null when the column is null; the pointed bytes live until the next call.
    virtual void row(const std::string_view* values, const bool* nulls) = 0;
};

// The one connection to the suite's database, over Firebird's OO API. It attaches on first use
// and stays attached until close() or destruction. Every failure raises DatabaseError with the
// server's message text. A failure of the link itself drops the attachment, so that the next
// operation attaches again with the same settings.
class Connection {
public:
    explicit Connection(ConnectionSettings settings = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const ConnectionSettings& settings() const { return settings_; }
    // Changing the settings closes the connection first.
    void setSettings(ConnectionSettings settings);

    bool connected() const;
    void open();
    void close();

    // Runs a SELECT with text parameters (Firebird converts them to the parameter types) in its
    // own read-committed transaction and streams the rows to the sink.
    void select(const std::string& sql, const std::vector<Value>& params, RowSink& sink);

    // The server's access plan of a statement (which indexes it reads), prepared but not run.
    std::string plan(const std::string& sql);

    // Creates a new, empty database file with the WIN1252 default character set and dialect 3.
    static void CreateDatabase(const ConnectionSettings& settings);

    // Explicit transaction for a batch of changes (read committed, record version, wait).
    bool inTransaction() const;
    void startTransaction();
    void commit();
    void rollback();
    // Runs a statement with text parameters inside the active transaction; returns the number of
    // rows it changed.
    std::int64_t execute(const std::string& sql, const std::vector<Value>& params);

    // A statement prepared once inside the active transaction, to run many times (preparing costs
    // far more than running a simple INSERT). It must not outlive the transaction.
    class Prepared {
    public:
        ~Prepared();
        Prepared(const Prepared&) = delete;
        Prepared& operator=(const Prepared&) = delete;
        // Runs it with these text parameters; returns the number of rows it changed.
        std::int64_t execute(const std::vector<Value>& params);

    private:
        friend class Connection;
        struct Statement;
        Prepared(Connection& connection, std::unique_ptr<Statement> statement);
        Connection& connection_;
        std::unique_ptr<Statement> statement_;
    };
    std::unique_ptr<Prepared> prepare(const std::string& sql);

private:
    struct Impl;
    ConnectionSettings settings_;
    std::unique_ptr<Impl> impl_;
};

} // namespace olvendra::data
