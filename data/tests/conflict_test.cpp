// Another program changes the rows this program has read. Built twice: with the embedded engine
// (both connections in this process) and through a Firebird server on 127.0.0.1.
#include "embedded_database.h"
#include "errors.h"
#include "query.h"
#include "record_set.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace olvendra::data {
namespace {

using testing::EmbeddedDatabase;
using testing::Query;

std::string ServerAddress() {
#ifdef OLVENDRA_VIA_SERVER
    const char* root = std::getenv("OLVENDRA_TEST_SERVER_ROOT");
    if (!root) {
        throw std::runtime_error("OLVENDRA_TEST_SERVER_ROOT is not set");
    }
    std::ifstream portFile(std::string(root) + "/port");
    std::string port;
    portFile >> port;
    return "127.0.0.1/" + port;
#else
    return {};
#endif
}

class ConflictTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME, TELEFONES) values ('100', "
                "'Pediatria', 'Ana Lima', '1111')",
                "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, TELEFONES) values ('200', "
                "'Ortopedia', 'Bruno Reis', '2222')",
                "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, TELEFONES) values ('300', "
                "'Clínica', 'Carla Souza', '3333')"});
        connection.setSettings(db.settings());
        medicos.open();
    }

    void change(const std::string& name, const std::string& telephone) {
        ASSERT_TRUE(medicos.findKey({name}));
        medicos.setFieldText("TELEFONES", telephone);
        medicos.post();
    }

    std::string telephoneOf(const std::string& crm) {
        auto rows = Query(db.settings(), "select TELEFONES from MEDICOS where CRM = '" + crm + "'");
        return rows.empty() ? "missing" : rows[0][0];
    }

    EmbeddedDatabase db{ServerAddress()};
    Connection connection;
    RecordSet medicos{connection,
                      "MEDICOS",
                      "select CRM, ESPECIALIDADE, NOME, TELEFONES from MEDICOS order by NOME, CRM",
                      {"CRM", "ESPECIALIDADE"}};
};

TEST_F(ConflictTest, ARowDeletedElsewhereFailsAloneAndStaysPendingUntilResolved) {
    change("Bruno Reis", "2999");
    change("Carla Souza", "3999");
    db.run({"delete from MEDICOS where CRM = '200'"});

    EXPECT_EQ(medicos.applyUpdates(), 1);
    EXPECT_EQ(medicos.lastApplyErrors(),
              (std::vector<std::string>{"Record not found or changed by another user"}));
    EXPECT_EQ(medicos.pendingChangeCount(), 1u);
    EXPECT_EQ(telephoneOf("300"), "3999") << "the other change is committed";
    EXPECT_THROW(medicos.refresh(), RecordSetError);
    ASSERT_TRUE(medicos.findKey({"Bruno Reis"}));
    EXPECT_EQ(medicos.fieldText("TELEFONES"), "2999") << "the local edit is kept";

    db.run({"insert into MEDICOS (CRM, ESPECIALIDADE, NOME, TELEFONES) values ('200', "
            "'Ortopedia', 'Bruno Reis', '2222')"});
    EXPECT_EQ(medicos.applyUpdates(), 0);
    EXPECT_EQ(medicos.pendingChangeCount(), 0u);
    EXPECT_EQ(telephoneOf("200"), "2999");
    medicos.refresh();
    EXPECT_EQ(medicos.rowCount(), 3u);
}

TEST_F(ConflictTest, AKeyChangedElsewhereFailsButOtherColumnsChangedElsewhereAreKept) {
    change("Ana Lima", "1999");
    change("Carla Souza", "3999");
    db.run({"update MEDICOS set CRM = '101' where CRM = '100'",
            "update MEDICOS set NOME = 'Carla Souza Neves' where CRM = '300'"});

    EXPECT_EQ(medicos.applyUpdates(), 1);
    EXPECT_EQ(telephoneOf("101"), "1111");
    EXPECT_EQ(Query(db.settings(), "select NOME, TELEFONES from MEDICOS where CRM = '300'")[0],
              (std::vector<std::string>{"Carla Souza Neves", "3999"}))
        << "only the changed column is written";
    medicos.close();
    EXPECT_EQ(medicos.pendingChangeCount(), 0u) << "closing drops the pending change";
}

TEST_F(ConflictTest, ADeleteOfARowAlreadyGoneFailsAndIsKept) {
    ASSERT_TRUE(medicos.findKey({"Ana Lima"}));
    medicos.remove();
    db.run({"delete from MEDICOS where CRM = '100'"});
    EXPECT_EQ(medicos.applyUpdates(), 1);
    EXPECT_EQ(medicos.pendingChangeCount(), 1u);
}

TEST_F(ConflictTest, AnUpdateConflictIsRetriedOnceAndKeepsTheOtherStationsColumn) {
    change("Ana Lima", "1999");
    // Another station changes the name of the same professional and commits while this
    // program's update waits for the row.
    Connection other(db.settings());
    other.startTransaction();
    other.execute("update MEDICOS set NOME = 'Ana Lima Reis' where CRM = '100'", {});
    std::thread commitLater([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        other.commit();
    });
    const int failures = medicos.applyUpdates();
    commitLater.join();
    EXPECT_EQ(failures, 0) << (medicos.lastApplyErrors().empty() ? ""
                                                                 : medicos.lastApplyErrors()[0]);
    EXPECT_EQ(medicos.pendingChangeCount(), 0u);
    auto rows = Query(db.settings(), "select NOME, TELEFONES from MEDICOS where CRM = '100'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Ana Lima Reis", "1999"}));
}

TEST_F(ConflictTest, ARowHeldPastTheLockTimeoutFailsAsALockTimeoutAndComesBackToEditing) {
    ConnectionSettings quick = db.settings();
    quick.lockTimeoutSeconds = 1;
    medicos.close();
    connection.setSettings(quick);
    medicos.open();
    change("Ana Lima", "1999");
    Connection other(db.settings());
    other.startTransaction();
    other.execute("update MEDICOS set NOME = 'Ana Lima Reis' where CRM = '100'", {});
    EXPECT_EQ(medicos.applyUpdates(), 1);
    EXPECT_EQ(medicos.lastApplyRefusals(), std::vector<Refusal>{Refusal::LockTimeout});
    other.rollback();
    ASSERT_TRUE(medicos.reopenRefusedChange());
    EXPECT_EQ(medicos.state(), RecordSetState::Editing);
    EXPECT_EQ(medicos.fieldText("TELEFONES"), "1999");
    EXPECT_EQ(medicos.pendingChangeCount(), 0u);
    medicos.cancel();
    EXPECT_EQ(medicos.fieldText("TELEFONES"), "1111");
    EXPECT_EQ(telephoneOf("100"), "1111");
}

} // namespace
} // namespace olvendra::data
