#include "crashreport/report/log_location.h"

#include "crashreport/report/tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace faulttrap {
namespace {

using testing::TemporaryFolder;

class LogLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", (data / "share").c_str(), 1);
        setenv("FT_TEST_LOGS", (folder / "logs").c_str(), 1);
        settings.moduleFileName = (folder / "bin" / "cadastro").string();
        std::filesystem::create_directories(folder / "bin");
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        unsetenv("FT_TEST_LOGS");
    }

    TemporaryFolder folder;
    TemporaryFolder data;
    ReportSettings settings;
    const std::filesystem::path program = "/usr/bin/cadastro.bin";
};

TEST_F(LogLocationTest, NamesFollowTheModuleTheFolderOptionAndTheComputer) {
    struct Case {
        std::string logFolder;
        bool computerName;
        std::filesystem::path expected;
    };
    const Case cases[] = {
        {"", false, folder / "bin" / "cadastro.ftlog"},
        {"", true, folder / "bin" / "cadastro_pc_01_.ftlog"},
        {(folder / "elsewhere").string(), false, folder / "elsewhere" / "cadastro.ftlog"},
        {(folder / "elsewhere").string() + "/", false, folder / "elsewhere" / "cadastro.ftlog"},
        {"%FT_TEST_LOGS%/x", false, folder / "logs" / "x" / "cadastro.ftlog"},
        {"%FT_TEST_LOGS%/All.FTLOG", false, folder / "logs" / "All.FTLOG"},
        {"%FT_TEST_LOGS%/all.ftlog", true, folder / "logs" / "all_pc_01_.ftlog"},
        {"%NOT_SET_ANYWHERE%/a.ftlog", false, "%NOT_SET_ANYWHERE%/a.ftlog"},
    };
    for (const auto& c : cases) {
        settings.logFolder = c.logFolder;
        settings.computerNameInLogName = c.computerName;
        const LogLocation location = LocateLogFile(settings, "pc/01:", program);
        EXPECT_EQ(location.chosen, c.expected) << c.logFolder;
        EXPECT_EQ(location.fallback,
                  data / "share" / "FaultTrap" / "cadastro" / c.expected.filename());
    }
}

TEST_F(LogLocationTest, AModuleFolderThatCannotBeWrittenSendsTheLogToTheUserDataFolder) {
    // A process folder of /proc cannot be written, not even by root.
    settings.moduleFileName = "/proc/1/cadastro";
    EXPECT_EQ(LocateLogFile(settings, "pc", program).chosen,
              data / "share" / "FaultTrap" / "cadastro.ftlog");
}

TEST_F(LogLocationTest, WithoutAModuleNameTheProgramNamesTheLog) {
    settings.moduleFileName.clear();
    settings.logFolder = folder.Path().string();
    EXPECT_EQ(LocateLogFile(settings, "pc", program).chosen, folder / "cadastro.ftlog");
}

TEST_F(LogLocationTest, AFileThatCannotBeCreatedFallsBackToTheUserDataFolder) {
    settings.logFolder = (folder / "missing" / "deeper").string();
    const LogLocation location = LocateLogFile(settings, "pc", program);
    {
        auto log = OpenLogFile(location, LogFileAccess::ReadWrite);
        EXPECT_EQ(log->FileName(), data / "share" / "FaultTrap" / "cadastro" / "cadastro.ftlog");
        log->Save();
    }
    EXPECT_TRUE(std::filesystem::exists(location.fallback));
    EXPECT_EQ(OpenLogFile(location, LogFileAccess::ReadOnly)->FileName(), location.fallback);
}

TEST_F(LogLocationTest, NeitherPlaceUsableIsAClearError) {
    setenv("XDG_DATA_HOME", "/proc/no-such-folder", 1);
    settings.logFolder = "/proc/no-such-folder/logs";
    const LogLocation location = LocateLogFile(settings, "pc", program);
    EXPECT_THROW(OpenLogFile(location, LogFileAccess::ReadWrite), ELogFileError);
    EXPECT_THROW(OpenLogFile(location, LogFileAccess::ReadOnly), ELogFileError);
}

} // namespace
} // namespace faulttrap
