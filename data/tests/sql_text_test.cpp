#include "sql_text.h"

#include <gtest/gtest.h>

namespace olvendra::data {
namespace {

TEST(SqlText, OrderByColumns) {
    using Columns = std::vector<std::string>;
    struct Case {
        const char* sql;
        Columns columns;
    } cases[] = {
        {"select a from MEDICOS order by NOME, CRM", {"NOME", "CRM"}},
        {"select a from MEDICOS ORDER  BY crm", {"CRM"}},
        {"select a from T order by m.NOME desc, \"Crm\" asc", {"NOME", "Crm"}},
        {"select a from T where x = 'order by Z'", {}},
        {"select ORDERS from T", {}},
        {"select a from T", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OrderByColumns(c.sql), c.columns) << c.sql;
    }
}

TEST(SqlText, OrderByCollations) {
    using Collations = std::vector<std::string>;
    struct Case {
        const char* sql;
        Collations columns;
        Collations collations;
    } cases[] = {
        {"select a from MEDICOS order by NOME collate WIN_PTBR, CRM",
         {"NOME", "CRM"},
         {"WIN_PTBR", ""}},
        {"select a from MEDICOS order by NOME COLLATE win_ptbr desc,CRM",
         {"NOME", "CRM"},
         {"WIN_PTBR", ""}},
        {"select a from MEDICOS order by NOME, CRM", {"NOME", "CRM"}, {"", ""}},
        {"select a from T where x = 'collate Y'", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OrderByColumns(c.sql), c.columns) << c.sql;
        EXPECT_EQ(OrderByCollations(c.sql), c.collations) << c.sql;
    }
}

TEST(SqlText, FromTable) {
    EXPECT_EQ(FromTable("select CRM from MEDICOS order by NOME"), "MEDICOS");
    EXPECT_EQ(FromTable("Select ESTACAO from estacoes where upper(USUARIO) = ?"), "ESTACOES");
    EXPECT_EQ(FromTable("select 'from X' as a from\n  MEDICOS where 1=1"), "MEDICOS");
    EXPECT_THROW(FromTable("select 1"), std::exception);
}

} // namespace
} // namespace olvendra::data
