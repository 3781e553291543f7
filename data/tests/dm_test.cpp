#include "dm.h"

#include "config/erro_inesperado.h"
#include "embedded_database.h"

#include "config/texto.h"
#include "errors.h"

#include <fcntl.h>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace olvendra::data {
namespace {

class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root / "dados");
        DefineTratadorDeErroInesperado([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                reported.push_back(e.what());
            }
        });
    }
    void TearDown() override {
        DefineTratadorDeErroInesperado({});
        std::filesystem::remove_all(root);
    }
    void writeLocation(const std::string& text) {
        std::ofstream(root / "CaminhoGDS.txt", std::ios::binary) << text;
    }

    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("olvendra-dm-" + std::to_string(getpid()));
    std::vector<std::string> reported;
};

TEST_F(DataModuleTest, ClientLibraryAndDatabaseLocation) {
    const std::string longDirectory = "/" + std::string(120, 'd');
    struct Case {
        const char* what;
        std::optional<std::string> location; // nullopt: no CaminhoGDS.txt
        std::string server;
        std::string library;
        std::string database;
    } cases[] = {
        {"no file", std::nullopt, "", "libfbclient.so.2", root.string() + "/dados/olvendra.bd"},
        {"empty first line", "\nignored", "", "libfbclient.so.2",
         root.string() + "/dados/olvendra.bd"},
        {"directory", "/opt/fb\r\nrest", "srv", "/opt/fb/libfbclient.so.2",
         "srv:" + root.string() + "/dados/olvendra.bd"},
        {"directory with separator", "/opt/fb/", "10.0.0.5", "/opt/fb/libfbclient.so.2",
         "10.0.0.5:" + root.string() + "/dados/olvendra.bd"},
        {"cut to 100", longDirectory, "", longDirectory.substr(0, 100) + "/libfbclient.so.2",
         root.string() + "/dados/olvendra.bd"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(root / "CaminhoGDS.txt");
        if (c.location) {
            writeLocation(*c.location);
        }
        TDM dm(c.server, root);
        EXPECT_EQ(dm.SQLConnection1.settings().clientLibrary, c.library) << c.what;
        EXPECT_EQ(dm.SQLConnection1.settings().database, c.database) << c.what;
        EXPECT_FALSE(dm.SQLConnection1.connected()) << c.what;
    }
    EXPECT_TRUE(reported.empty());
}

TEST_F(DataModuleTest, UnreadableLocationFileIsReportedAndSkipsTheRest) {
    std::filesystem::create_directories(root / "CaminhoGDS.txt"); // exists, cannot be read
    TDM dm("srv", root);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("CaminhoGDS.txt"), std::string::npos);
    EXPECT_EQ(reported[0].find(Utf8ParaWin1252("Não foi possível ler o arquivo ")), 0u)
        << "Portuguese, in the Windows-1252 of every text the user sees: " << reported[0];
    EXPECT_EQ(dm.SQLConnection1.settings().database, (root / "dados" / "olvendra.bd").string())
        << "Database keeps its stored value, not the server's";
}

TEST_F(DataModuleTest, OpeningMedicosOpensTheSpecialtiesAndClosingClosesThem) {
    testing::EmbeddedDatabase db;
    std::filesystem::copy_file(db.file(), root / "dados" / "olvendra.bd");
    TDM dm("", root);
    dm.MEDICOS.open();
    EXPECT_TRUE(dm.Espec.active());
    EXPECT_TRUE(dm.SQLConnection1.connected());
    EXPECT_EQ(dm.MEDICOS.columns().size(), 22u);
    dm.MEDICOS.close();
    EXPECT_FALSE(dm.Espec.active());
    dm.Usuarios.open();
    EXPECT_EQ(dm.Usuarios.keyOrder(), (std::vector<std::string>{"USUARIO"}));
}

TEST_F(DataModuleTest, TheLocationFileIsReadOnlyAsFarAsItCounts) {
    // A pipe whose writer never ends the line nor the file: reading more than the first line's
    // 100 characters and the one after them would wait for ever.
    const auto pipe = root / "CaminhoGDS.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::promise<void> done;
    std::thread writer([&] {
        const int descriptor = ::open(pipe.c_str(), O_WRONLY);
        const std::string text = "/opt/" + std::string(120, 'x');
        EXPECT_EQ(::write(descriptor, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        done.get_future().wait();
        ::close(descriptor);
    });
    TDM dm("srv", root);
    done.set_value();
    writer.join();
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(dm.SQLConnection1.settings().clientLibrary,
              "/opt/" + std::string(95, 'x') + "/libfbclient.so.2");
}

TEST_F(DataModuleTest, ALineEndingInACarriageReturnAtTheEndOfTheFileLosesIt) {
    writeLocation("/opt/ib\r");
    TDM dm("", root);
    EXPECT_EQ(dm.SQLConnection1.settings().clientLibrary, "/opt/ib/libfbclient.so.2");
}

TEST_F(DataModuleTest, AFailedOpenOfMedicosClosesTheSpecialtiesAgain) {
    testing::EmbeddedDatabase db;
    std::filesystem::copy_file(db.file(), root / "dados" / "olvendra.bd");
    TDM dm("", root);
    dm.MEDICOS.setStatement("select CRM, NO_SUCH_COLUMN from MEDICOS order by CRM");
    EXPECT_THROW(dm.MEDICOS.open(), DatabaseError);
    EXPECT_FALSE(dm.MEDICOS.active());
    EXPECT_FALSE(dm.Espec.active());
}

} // namespace
} // namespace olvendra::data
