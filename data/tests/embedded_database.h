#pragma once

#include "connection.h"
#include "schema.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace olvendra::data::testing {

// A fresh database file with the suite's schema in a private folder, removed afterwards. With a
// server address the same file is reached through that Firebird server instead of the embedded
// engine.
class EmbeddedDatabase {
public:
    explicit EmbeddedDatabase(const std::string& server = {}) {
        char pattern[] = "/tmp/olvendra-db-XXXXXX";
        folder_ = mkdtemp(pattern);
        std::filesystem::permissions(folder_, std::filesystem::perms::all);
        file_ = folder_ / "olvendra.bd";
        settings_.database = server.empty() ? file_.string() : server + ":" + file_.string();
        Connection::CreateDatabase(settings_);
        Connection connection(settings_);
        CreateSchema(connection);
    }
    ~EmbeddedDatabase() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    const ConnectionSettings& settings() const { return settings_; }
    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& file() const { return file_; }

    // Runs statements in one committed transaction of a connection of its own.
    void run(std::initializer_list<std::string> statements) const {
        Connection connection(settings_);
        connection.startTransaction();
        for (const std::string& sql : statements) {
            connection.execute(sql, {});
        }
        connection.commit();
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path file_;
    ConnectionSettings settings_;
};

} // namespace olvendra::data::testing
