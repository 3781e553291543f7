// The kit of one delivery: its package folder and the names its files travel under.

#include "crashreport/delivery/delivery_kit.h"
#include "crashreport/intercept/activation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace faulttrap {
namespace {

namespace fs = std::filesystem;

TEST(DeliveryKit, ItsFolderIsPrivateAndGoneAfterwardsAndItsNamesCarryTheExceptionTime) {
    const fs::path temp = fs::temp_directory_path() / ("kit-test-" + std::to_string(::getpid()));
    fs::create_directories(temp);
    setenv("TMPDIR", temp.c_str(), 1);
    setenv("TZ", "UTC0", 1);
    tzset();
    TFaultModuleOptionsEx& options = MainModuleOptions();
    options.SetSendOptions(send_options::AddDateToFileName);
    TFaultExceptionRecord record;
    record.ModuleOptions = &options;
    DeliveryRequest request;
    request.record = &record;
    request.reportText = "report";
    // 31 January 2024, 23:59:59 UTC: the exception happened a while before the delivery.
    request.exceptionTime = std::chrono::system_clock::from_time_t(1706745599);
    fs::path folder;
    {
        const DeliveryKit kit(request, false);
        folder = kit.folder.Path();
        ASSERT_FALSE(folder.empty()) << kit.folder.Error();
        EXPECT_EQ(folder.parent_path(), temp);
        struct stat status {};
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u);
        EXPECT_EQ(kit.package.ArchivePath().parent_path(), folder);
        EXPECT_EQ(kit.package.AttachmentName(kit.package.ArchivePath()),
                  "BugReport__20240131235959.zip");
    }
    EXPECT_FALSE(fs::exists(folder));
    unsetenv("TMPDIR");
    fs::remove_all(temp);
}

} // namespace
} // namespace faulttrap
