// The in-memory Portuguese comparison against the database's own collation, over every pair of
// single characters and over random names: the record set must order and find rows exactly as the
// server orders them.

#include "embedded_database.h"
#include "portuguese_order.h"
#include "query.h"

#include <gtest/gtest.h>

#include <random>

namespace olvendra::data {
namespace {

using testing::EmbeddedDatabase;
using testing::Query;

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

class PortugueseOrder : public ::testing::Test {
protected:
    void SetUp() override {
        db.run({"create table TEXTOS (ID integer not null primary key, T varchar(12) character "
                "set WIN1252)"});
    }
    // The server's answer for every pair of stored texts: -1, 0 or 1, indexed [a][b].
    std::vector<std::vector<int>> serverComparisons(std::size_t count) {
        std::vector<std::vector<int>> answers(count, std::vector<int>(count, 2));
        for (const auto& row :
             Query(db.settings(), "select a.ID, b.ID, case when a.T collate WIN_PTBR < b.T "
                                  "collate WIN_PTBR then -1 when a.T collate WIN_PTBR = b.T "
                                  "collate WIN_PTBR then 0 else 1 end from TEXTOS a cross join "
                                  "TEXTOS b")) {
            answers[std::stoul(row[0])][std::stoul(row[1])] = std::stoi(row[2]);
        }
        return answers;
    }
    void store(const std::vector<std::string>& texts) {
        Connection connection(db.settings());
        connection.startTransaction();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            connection.execute("insert into TEXTOS (ID, T) values (?, ?)",
                               {std::to_string(i), texts[i]});
        }
        connection.commit();
    }
    EmbeddedDatabase db;
};

TEST_F(PortugueseOrder, EverySingleCharacterComparesAsTheServerDoes) {
    std::vector<std::string> texts;
    for (int byte = 0; byte < 256; ++byte) {
        texts.emplace_back(1, static_cast<char>(byte));
    }
    store(texts);
    auto answers = serverComparisons(texts.size());
    int differences = 0;
    for (std::size_t a = 0; a < texts.size(); ++a) {
        for (std::size_t b = 0; b < texts.size(); ++b) {
            if (Sign(ComparePortuguese(texts[a], texts[b])) != answers[a][b] &&
                ++differences < 10) {
                ADD_FAILURE() << "bytes " << a << " and " << b << ": server " << answers[a][b];
            }
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(PortugueseOrder, RandomNamesCompareAsTheServerDoes) {
    // Letters with and without accents in both cases, blanks (trailing ones too), digits, signs
    // and control characters.
    const std::string alphabet = "aAeEoOcCsSnNyYzZ \xE1\xC1\xE3\xC3\xE7\xC7\xE9\xC9\xF5\xD5\xFC\xF1"
                                 "\xDF\xFE\xBA\xAA\xB9\xBD"
                                 "19-.'\xFF\x8A\x9A\x19\x01\t";
    std::mt19937 random(20);
    std::vector<std::string> texts;
    for (int i = 0; i < 600; ++i) {
        std::string text;
        std::size_t length = random() % 8;
        for (std::size_t k = 0; k < length; ++k) {
            text += alphabet[random() % alphabet.size()];
        }
        texts.push_back(text);
    }
    store(texts);
    auto answers = serverComparisons(texts.size());
    int differences = 0;
    for (std::size_t a = 0; a < texts.size(); ++a) {
        for (std::size_t b = 0; b < texts.size(); ++b) {
            if (Sign(ComparePortuguese(texts[a], texts[b])) != answers[a][b] &&
                ++differences < 10) {
                ADD_FAILURE() << "\"" << texts[a] << "\" and \"" << texts[b] << "\": server "
                              << answers[a][b];
            }
        }
    }
    EXPECT_EQ(differences, 0);
}

} // namespace
} // namespace olvendra::data
