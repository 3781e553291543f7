#include "embedded_database.h"
#include "errors.h"
#include "query.h"
#include "record_set.h"

#include <gtest/gtest.h>

namespace olvendra::data {
namespace {

using testing::EmbeddedDatabase;
using testing::Query;

constexpr const char* Medicos =
    "select CRM, ESPECIALIDADE, NOME, COMISSPERC, QDEFORMULAS from MEDICOS order by NOME, CRM";

class RecordSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME, COMISSPERC, QDEFORMULAS) "
                "values ('300', 'Pediatria', 'Carla Souza', 12.50, 3)",
                "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('100', 'Cardiologia', "
                "'Ana Lima')",
                "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('100', 'Clínica', "
                "'Ana Lima')",
                "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, COMISSPERC) values ('200', "
                "'Ortopedia', 'Bruno Reis', -0.5)"});
        connection.setSettings(db.settings());
    }

    std::vector<std::vector<std::string>> table() {
        return Query(db.settings(),
                     "select CRM, ESPECIALIDADE, NOME, COMISSPERC from MEDICOS order by CRM, "
                     "ESPECIALIDADE");
    }

    EmbeddedDatabase db;
    Connection connection;
    RecordSet medicos{connection, "MEDICOS", Medicos, {"CRM", "ESPECIALIDADE"}};
};

TEST_F(RecordSetTest, OpensSortedInKeyOrderWithTextValues) {
    medicos.open();
    ASSERT_EQ(medicos.rowCount(), 4u);
    EXPECT_EQ(medicos.keyOrder(), (std::vector<std::string>{"NOME", "CRM"}));
    EXPECT_EQ(medicos.position(), 0u);
    EXPECT_EQ(medicos.fieldText("nome"), "Ana Lima");
    EXPECT_TRUE(medicos.fieldIsNull("COMISSPERC"));
    medicos.last();
    EXPECT_EQ(medicos.fieldText("Nome"), "Carla Souza");
    EXPECT_EQ(medicos.fieldText("COMISSPERC"), "12.5");
    EXPECT_EQ(medicos.fieldText("QDEFORMULAS"), "3");
    medicos.prior();
    EXPECT_EQ(medicos.fieldText("COMISSPERC"), "-0.5");
    EXPECT_TRUE(medicos.columns()[0].required);
    EXPECT_EQ(medicos.columns()[2].width, 40);
    EXPECT_THROW(medicos.fieldText("NAO_EXISTE"), RecordSetError);
}

TEST_F(RecordSetTest, InsertAppliesAndKeepsKeyOrder) {
    medicos.open();
    medicos.insert();
    EXPECT_EQ(medicos.state(), RecordSetState::Inserting);
    medicos.setFieldText("CRM", "050");
    medicos.setFieldText("ESPECIALIDADE", "Dermatologia");
    medicos.setFieldText("NOME", "Beatriz Alves");
    medicos.setDecimalSeparator(',');
    medicos.setFieldText("COMISSPERC", "7,25");
    medicos.post();
    EXPECT_EQ(medicos.state(), RecordSetState::Browsing);
    EXPECT_EQ(medicos.position(), 2u) << "stored rows take their place in key order";
    EXPECT_EQ(medicos.pendingChangeCount(), 1u);
    EXPECT_EQ(medicos.applyUpdates(), 0);
    EXPECT_EQ(medicos.pendingChangeCount(), 0u);
    EXPECT_EQ(table()[0],
              (std::vector<std::string>{"050", "Dermatologia", "Beatriz Alves", "7.25"}));
}

TEST_F(RecordSetTest, WritingCutsToWidthEmptyIsNullAndBadNumbersAreRefused) {
    medicos.open();
    medicos.setFieldText("NOME", std::string(50, 'x'));
    EXPECT_EQ(medicos.state(), RecordSetState::Editing) << "writing a browsed row starts editing";
    EXPECT_EQ(medicos.fieldText("NOME"), std::string(40, 'x'));
    medicos.setFieldText("NOME", "");
    EXPECT_TRUE(medicos.fieldIsNull("NOME"));
    EXPECT_THROW(medicos.setFieldText("COMISSPERC", "12a"), RecordSetError);
    EXPECT_THROW(medicos.setFieldText("QDEFORMULAS", "99999999999"), RecordSetError);
    medicos.setFieldText("COMISSPERC", "1.005");
    EXPECT_EQ(medicos.fieldText("COMISSPERC"), "1.01");
    medicos.cancel();
    EXPECT_EQ(medicos.fieldText("NOME"), "Ana Lima");
}

TEST_F(RecordSetTest, RequiredColumnAndCancelledStoreKeepTheRowInEditing) {
    medicos.open();
    medicos.insert();
    medicos.setFieldText("CRM", "999");
    try {
        medicos.post();
        FAIL() << "a store without ESPECIALIDADE must fail";
    } catch (const RecordSetError& error) {
        EXPECT_STREQ(error.what(), "Field 'ESPECIALIDADE' must have a value");
    }
    EXPECT_EQ(medicos.state(), RecordSetState::Inserting);
    EXPECT_EQ(medicos.fieldText("CRM"), "999");

    medicos.cancel();
    EXPECT_EQ(medicos.rowCount(), 4u);
    bool allow = false;
    medicos.hooks().beforePost = [&] { return allow; };
    medicos.setFieldText("NOME", "Outra");
    medicos.next();
    EXPECT_EQ(medicos.position(), 0u) << "a cancelled store keeps the cursor";
    EXPECT_EQ(medicos.state(), RecordSetState::Editing);
    allow = true;
    medicos.next();
    EXPECT_EQ(medicos.state(), RecordSetState::Browsing);
    EXPECT_EQ(medicos.pendingChangeCount(), 1u);
}

TEST_F(RecordSetTest, LeavingAnUntouchedRowDropsItWithoutStoring) {
    int validations = 0;
    medicos.hooks().beforePost = [&] { return ++validations, true; };
    medicos.open();
    medicos.insert();
    medicos.next();
    EXPECT_EQ(medicos.rowCount(), 4u) << "an untouched new row is dropped";
    medicos.edit();
    medicos.last();
    EXPECT_EQ(validations, 0);
    medicos.hooks().afterInsert = [&] { medicos.setFieldText("NOME", "Atendente"); };
    medicos.insert();
    EXPECT_THROW(medicos.first(), RecordSetError) << "a row written by a hook is stored";
    EXPECT_EQ(validations, 1);
}

TEST_F(RecordSetTest, AppendAddsTheNewRowAfterTheLast) {
    medicos.open();
    medicos.first();
    medicos.append();
    EXPECT_EQ(medicos.state(), RecordSetState::Inserting);
    EXPECT_EQ(medicos.rowCount(), 5u);
    EXPECT_EQ(medicos.position(), 4u);
    EXPECT_TRUE(medicos.fieldText("NOME").empty());
    medicos.first();
    EXPECT_EQ(medicos.rowCount(), 4u)
        << "an untouched appended row is dropped like an inserted one";
}

TEST_F(RecordSetTest, UpdateFindsTheRowByItsOldKey) {
    medicos.open();
    ASSERT_TRUE(medicos.findKey({"Bruno Reis"}));
    medicos.setFieldText("CRM", "201");
    medicos.post();
    EXPECT_EQ(medicos.applyUpdates(), 0);
    auto rows = table();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], (std::vector<std::string>{"201", "Ortopedia", "Bruno Reis", "-0.5"}));
}

TEST_F(RecordSetTest, DeletingOneOfTwoRowsWithTheSameCrmDeletesOnlyThatRow) {
    medicos.open();
    ASSERT_TRUE(medicos.findKey({"Ana Lima", "100"}));
    EXPECT_EQ(medicos.fieldText("ESPECIALIDADE"), "Cardiologia");
    int deletes = 0;
    medicos.hooks().afterDelete = [&] { ++deletes; };
    medicos.remove();
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(medicos.applyUpdates(), 0);
    auto rows = table();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], "Clínica");
}

TEST_F(RecordSetTest, InsertedThenDeletedRowNeverReachesTheDatabase) {
    medicos.open();
    medicos.insert();
    medicos.setFieldText("CRM", "7");
    medicos.setFieldText("ESPECIALIDADE", "X");
    medicos.post();
    medicos.remove();
    EXPECT_EQ(medicos.pendingChangeCount(), 0u);
    EXPECT_EQ(medicos.applyUpdates(), 0);
    EXPECT_EQ(table().size(), 4u);
}

TEST_F(RecordSetTest, RefreshIsRefusedWithPendingChangesAndKeepsTheOrdinalPosition) {
    medicos.open();
    medicos.moveTo(2); // Bruno Reis
    medicos.setFieldText("NOME", "Bruno Reis Filho");
    medicos.post();
    try {
        medicos.refresh();
        FAIL() << "refresh with pending changes must be refused";
    } catch (const RecordSetError& error) {
        EXPECT_STREQ(error.what(), "Must apply updates before refreshing data");
    }
    EXPECT_EQ(medicos.fieldText("NOME"), "Bruno Reis Filho");
    EXPECT_EQ(medicos.applyUpdates(), 0);
    db.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('1', 'X', 'Abel')"});
    medicos.refresh();
    EXPECT_EQ(medicos.rowCount(), 5u);
    EXPECT_EQ(medicos.position(), 2u);
    EXPECT_EQ(medicos.fieldText("NOME"), "Ana Lima") << "the row inserted before moved the rest";
    db.run({"delete from MEDICOS where NOME <> 'Abel'"});
    medicos.refresh();
    EXPECT_EQ(medicos.position(), 0u) << "a shorter set ends on its last row";
}

// Follows what the set tells its row views onto a copy of its rows, as a grid's model does: the
// rows told, and the current row again whenever its state or a value changes.
class RowsMirror {
public:
    explicit RowsMirror(RecordSet& set) : set_(set) {
        rowsListener_ = set.addRowsListener(
            [this](const RowsChange& change, bool done) { follow(change, done); });
        listener_ = set.addListener([this](RecordSetEvent event) {
            if ((event == RecordSetEvent::StateChanged || event == RecordSetEvent::FieldChanged) &&
                set_.active() && !set_.isEmpty()) {
                rows.at(set_.position()) = rowAt(set_.position());
            }
        });
    }
    ~RowsMirror() {
        set_.removeRowsListener(rowsListener_);
        set_.removeListener(listener_);
    }

    std::vector<std::string> setRows() const {
        std::vector<std::string> all;
        for (std::size_t i = 0; set_.active() && i < set_.rowCount(); ++i) {
            all.push_back(rowAt(i));
        }
        return all;
    }

    std::vector<std::string> rows;
    std::vector<RowsChange> told;

private:
    std::string rowAt(std::size_t row) const {
        std::string text;
        for (std::size_t column = 0; column < set_.columns().size(); ++column) {
            text += set_.textAt(row, static_cast<int>(column)) + "|";
        }
        return text;
    }

    void follow(const RowsChange& change, bool done) {
        if (!done) {
            // Before the change the set still has the rows the view has.
            EXPECT_EQ(rows.size(), set_.active() ? set_.rowCount() : 0u);
            return;
        }
        told.push_back(change);
        const auto at = [this](std::size_t row) {
            return rows.begin() + static_cast<std::ptrdiff_t>(row);
        };
        switch (change.kind) {
        case RowsChange::Kind::Inserted:
            for (std::size_t k = 0; k < change.count; ++k) {
                rows.insert(at(change.first + k), rowAt(change.first + k));
            }
            break;
        case RowsChange::Kind::Removed:
            rows.erase(at(change.first), at(change.first + change.count));
            break;
        case RowsChange::Kind::Moved: {
            std::string moving = rows.at(change.first);
            rows.erase(at(change.first));
            rows.insert(at(change.to), std::move(moving));
            break;
        }
        case RowsChange::Kind::Changed:
            for (std::size_t k = 0; k < change.count; ++k) {
                rows.at(change.first + k) = rowAt(change.first + k);
            }
            break;
        case RowsChange::Kind::Reset:
            rows = setRows();
            break;
        }
    }

    RecordSet& set_;
    int rowsListener_ = -1;
    int listener_ = -1;
};

// What was told, as "kind first count [to]" lines.
std::vector<std::string> Told(const std::vector<RowsChange>& changes) {
    std::vector<std::string> lines;
    for (const RowsChange& change : changes) {
        static const char* const Kinds[] = {"inserted", "removed", "moved", "changed", "reset"};
        std::string line = std::string(Kinds[static_cast<int>(change.kind)]);
        if (change.kind != RowsChange::Kind::Reset) {
            line += " " + std::to_string(change.first) + " " + std::to_string(change.count);
        }
        if (change.kind == RowsChange::Kind::Moved) {
            line += " to " + std::to_string(change.to);
        }
        lines.push_back(line);
    }
    return lines;
}

TEST_F(RecordSetTest, RowViewsFollowLocalChangesRowByRow) {
    RowsMirror mirror(medicos);
    medicos.open();
    EXPECT_EQ(Told(mirror.told), (std::vector<std::string>{"reset"}));
    mirror.told.clear();
    medicos.moveTo(1);
    medicos.insert();
    medicos.setFieldText("CRM", "400");
    medicos.setFieldText("ESPECIALIDADE", "Geriatria");
    medicos.setFieldText("NOME", "Zeca Lopes");
    medicos.post(); // stored, it goes to its place in name order
    EXPECT_EQ(mirror.rows, mirror.setRows());
    medicos.append();
    medicos.cancel();
    medicos.first();
    medicos.remove();
    medicos.last();
    medicos.edit();
    medicos.setFieldText("NOME", "Aarao Dias"); // from the last place to the first
    medicos.post();
    EXPECT_EQ(Told(mirror.told),
              (std::vector<std::string>{"inserted 1 1", "moved 1 1 to 4", "inserted 5 1",
                                        "removed 5 1", "removed 0 1", "moved 3 1 to 0"}));
    EXPECT_EQ(mirror.rows, mirror.setRows());
    medicos.close();
    EXPECT_TRUE(mirror.rows.empty());
}

TEST_F(RecordSetTest, AReReadTellsOnlyTheRowsAnotherStationChanged) {
    // No two rows tie in key order, so that each row keeps its place between reads.
    db.run({"update MEDICOS set CRM = '101' where NOME = 'Ana Lima' and ESPECIALIDADE <> "
            "'Cardiologia'"});
    RowsMirror mirror(medicos);
    medicos.open();
    mirror.told.clear();
    db.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('1', 'Geriatria', 'Abel')",
            "delete from MEDICOS where NOME = 'Bruno Reis'",
            "update MEDICOS set COMISSPERC = 7 where NOME = 'Carla Souza'"});
    medicos.refresh();
    EXPECT_EQ(Told(mirror.told),
              (std::vector<std::string>{"inserted 0 1", "removed 3 1", "changed 3 1"}));
    EXPECT_EQ(mirror.rows, mirror.setRows());

    // So many that telling them one by one would cost more than redrawing: one reset.
    Connection other(db.settings());
    other.startTransaction();
    for (int i = 0; i < 300; ++i) {
        other.execute("insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values (?, 'X', ?)",
                      {std::to_string(1000 + i), "Nome " + std::to_string(i)});
    }
    other.commit();
    mirror.told.clear();
    medicos.refresh();
    EXPECT_EQ(Told(mirror.told), (std::vector<std::string>{"reset"}));
    EXPECT_EQ(mirror.rows, mirror.setRows());
}

TEST_F(RecordSetTest, FindExactAndNearest) {
    medicos.open();
    medicos.moveTo(1);
    EXPECT_FALSE(medicos.findKey({"Ana Lima", "999"}));
    EXPECT_EQ(medicos.position(), 1u);
    EXPECT_FALSE(medicos.findKey({"ana lima"})) << "letter case is significant";
    EXPECT_TRUE(medicos.findKey({"Carla Souza"}));
    EXPECT_EQ(medicos.position(), 3u);
    medicos.findNearest({"B"});
    EXPECT_EQ(medicos.fieldText("NOME"), "Bruno Reis");
    medicos.findNearest({"Zeca"});
    EXPECT_EQ(medicos.position(), 3u) << "beyond every name: the last row";
    EXPECT_THROW(medicos.findKey({"a", "b", "c"}), RecordSetError);
}

TEST_F(RecordSetTest, CloseDropsPendingChangesAndRunsItsHook) {
    int closes = 0;
    medicos.hooks().afterClose = [&] { ++closes; };
    medicos.open();
    medicos.remove();
    medicos.insert();
    medicos.close();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(medicos.state(), RecordSetState::Closed);
    EXPECT_EQ(medicos.pendingChangeCount(), 0u);
    EXPECT_THROW(medicos.fieldText("NOME"), RecordSetError);
    medicos.open();
    EXPECT_EQ(medicos.rowCount(), 4u);
    EXPECT_THROW(medicos.setStatement("select CRM from MEDICOS"), RecordSetError);
}

TEST_F(RecordSetTest, EditOnAnEmptySetInserts) {
    medicos.close();
    medicos.setStatement("select CRM, ESPECIALIDADE, NOME from MEDICOS where NOME starting with ? "
                         "order by NOME, CRM",
                         {std::string("Nobody")});
    medicos.open();
    EXPECT_TRUE(medicos.isEmpty());
    EXPECT_EQ(medicos.fieldText("NOME"), "");
    medicos.edit();
    EXPECT_EQ(medicos.state(), RecordSetState::Inserting);
    EXPECT_THROW(RecordSet(connection, "X", "select 1 from RDB$DATABASE", {}).remove(),
                 RecordSetError);
}

TEST_F(RecordSetTest, ParametersAreValuesNotSql) {
    db.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('9''9', 'X', 'O''Hara')"});
    medicos.setStatement("select CRM, ESPECIALIDADE, NOME from MEDICOS where CRM = ? order by "
                         "NOME, CRM",
                         {std::string("9'9")});
    medicos.open();
    ASSERT_EQ(medicos.rowCount(), 1u);
    EXPECT_EQ(medicos.fieldText("NOME"), "O'Hara");
    medicos.setFieldText("NOME", "D'Ávila");
    EXPECT_EQ(medicos.applyUpdates(), 0);
    EXPECT_EQ(Query(db.settings(), "select NOME from MEDICOS where CRM = '9''9'")[0][0], "D'Ávila");
}

TEST_F(RecordSetTest, Windows1252TextRoundTrips) {
    // "João Ávila ç Ü €" in Windows-1252.
    const std::string name = "Jo\xE3o \xC1vila \xE7 \xDC \x80";
    medicos.open();
    medicos.insert();
    medicos.setFieldText("CRM", "1252");
    medicos.setFieldText("ESPECIALIDADE", "X");
    medicos.setFieldText("NOME", name);
    medicos.post();
    ASSERT_EQ(medicos.applyUpdates(), 0);
    medicos.close();
    medicos.open();
    ASSERT_TRUE(medicos.findKey({name}));
    EXPECT_EQ(medicos.fieldText("NOME"), name);
    EXPECT_EQ(
        Query(db.settings(), "select char_length(NOME) from MEDICOS where CRM = '1252'")[0][0],
        "16");
}

// Names that differ only in accents or letter case are equal to the Portuguese order, which then
// goes by the number; the lookups still land on the row spelt exactly as asked.
TEST_F(RecordSetTest, PortugueseKeyOrderFindsTheExactSpelling) {
    db.run({"delete from MEDICOS",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('7', 'A', 'Jo\xE3o Silva')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('7', 'B', 'JOAO SILVA')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('5', 'A', 'Joao Silva')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('1', 'A', '\xC1lvaro')",
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME) values ('1', 'B', 'Zilda')"});
    medicos.setStatement("select CRM, ESPECIALIDADE, NOME from MEDICOS order by NOME collate "
                         "WIN_PTBR, CRM");
    medicos.open();
    std::vector<std::string> names;
    for (std::size_t i = 0; i < medicos.rowCount(); ++i) {
        names.push_back(medicos.textAt(i, 2) + "/" + medicos.textAt(i, 0));
    }
    EXPECT_EQ(names[0], "\xC1lvaro/1");
    EXPECT_EQ(names[1], "Joao Silva/5");
    EXPECT_EQ(names[4], "Zilda/1");

    for (const std::string& name : {std::string("Jo\xE3o Silva"), std::string("JOAO SILVA")}) {
        ASSERT_TRUE(medicos.findKey({name, "7"})) << name;
        EXPECT_EQ(medicos.fieldText("NOME"), name);
        medicos.first();
        medicos.findNearest({name, "7"});
        EXPECT_EQ(medicos.fieldText("NOME"), name);
    }
    medicos.first();
    EXPECT_FALSE(medicos.findKey({"joao silva", "7"})) << "find exact keeps letter case";
    EXPECT_EQ(medicos.position(), 0u);
    medicos.findNearest({"joao silva", "6"});
    EXPECT_EQ(medicos.fieldText("CRM"), "7") << "nearest goes by the Portuguese order";
    medicos.findNearest({"alvaro"});
    EXPECT_EQ(medicos.fieldText("NOME"), "\xC1lvaro");

    // A row stored here takes its place in the same order.
    medicos.insert();
    medicos.setFieldText("CRM", "2");
    medicos.setFieldText("ESPECIALIDADE", "A");
    medicos.setFieldText("NOME", "\xE1lvaro");
    medicos.post();
    EXPECT_EQ(medicos.position(), 1u);
}

TEST_F(RecordSetTest, AStatementAffectingTwoRowsIsUndoneAndTheOthersAreKept) {
    db.run({"create table DUPLAS (K varchar(5), V varchar(5))"});
    db.run({"insert into DUPLAS values ('a', '1')", "insert into DUPLAS values ('a', '2')",
            "insert into DUPLAS values ('b', '3')"});
    RecordSet duplas(connection, "DUPLAS", "select K, V from DUPLAS order by V", {"K"});
    duplas.open();
    duplas.setFieldText("V", "9"); // row ('a', '1'): the key matches two rows
    duplas.last();
    duplas.setFieldText("V", "8"); // row ('b', '3')
    duplas.post();
    EXPECT_EQ(duplas.applyUpdates(), 1);
    EXPECT_EQ(duplas.lastApplyErrors(),
              (std::vector<std::string>{"Update affected more than 1 record."}));
    EXPECT_EQ(duplas.pendingChangeCount(), 1u);
    EXPECT_EQ(Query(db.settings(), "select K, V from DUPLAS order by K, V"),
              (std::vector<std::vector<std::string>>{{"a", "1"}, {"a", "2"}, {"b", "8"}}));
}

TEST_F(RecordSetTest, NullKeyValuesAreMatchedWithIsNull) {
    db.run({"create table SEMCHAVE (K varchar(5), V varchar(5))"});
    db.run({"insert into SEMCHAVE values (null, '1')"});
    RecordSet set(connection, "SEMCHAVE", "select K, V from SEMCHAVE", {"K"});
    set.open();
    EXPECT_TRUE(set.keyOrder().empty());
    set.setFieldText("V", "2");
    EXPECT_EQ(set.applyUpdates(), 0);
    EXPECT_EQ(Query(db.settings(), "select V from SEMCHAVE")[0][0], "2");
}

TEST(RecordSetFailure, MissingDatabaseLeavesTheSetClosedWithFirebirdsMessage) {
    ConnectionSettings settings;
    settings.database = "/tmp/olvendra-no-such-folder/olvendra.bd";
    Connection connection(settings);
    RecordSet set(connection, "MEDICOS", Medicos, {"CRM", "ESPECIALIDADE"});
    try {
        set.open();
        FAIL() << "opening a missing database must fail";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("olvendra.bd"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(set.active());
}

TEST(RecordSetFailure, WrongClientLibraryIsAClearError) {
    ConnectionSettings settings;
    settings.clientLibrary = "/tmp/olvendra-no-such-folder/libfbclient.so.2";
    settings.database = "/tmp/x.bd";
    Connection connection(settings);
    try {
        connection.open();
        FAIL();
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("Unable to load the database client library"),
                  std::string::npos);
    }
}

} // namespace
} // namespace olvendra::data
