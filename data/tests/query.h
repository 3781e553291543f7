#pragma once

#include "connection.h"

#include <string>
#include <vector>

namespace olvendra::data::testing {

// Every row of a SELECT, read through a connection of its own, as "null" or the value's text.
inline std::vector<std::vector<std::string>> Query(const ConnectionSettings& settings,
                                                   const std::string& sql) {
    struct Collect : RowSink {
        std::vector<std::vector<std::string>> rows;
        std::size_t count = 0;
        void columns(const std::vector<Column>& columns) override { count = columns.size(); }
        void row(const std::string_view* values, const bool* nulls) override {
            std::vector<std::string> row;
            for (std::size_t i = 0; i < count; ++i) {
                row.push_back(nulls[i] ? "null" : std::string(values[i]));
            }
            rows.push_back(std::move(row));
        }
    } collect;
    Connection connection(settings);
    connection.select(sql, {}, collect);
    return collect.rows;
}

} // namespace olvendra::data::testing
