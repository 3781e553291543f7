#include "crashreport/options/fault_module_options_ex.h"
#include "crashreport/options/loaded_module.h"
#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace faulttrap {
namespace {

std::string OwnBlockName() {
    return SharedOptionsBlockName(static_cast<std::uint32_t>(getpid()), SubsystemModule().Handle);
}

// The bytes of a named block, read through a mapping of its own.
std::string MapByName(const std::string& name) {
    const int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) {
        return {};
    }
    struct stat status {};
    fstat(fd, &status);
    const auto size = static_cast<std::size_t>(status.st_size);
    void* address = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    const std::string bytes(static_cast<const char*>(address), size);
    munmap(address, size);
    return bytes;
}

bool BlockExists(const std::string& name) {
    const int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd >= 0) {
        close(fd);
    }
    return fd >= 0;
}

TEST(SharedPublication, NameIsProcessIdModuleHandleAndModule) {
    EXPECT_EQ(SharedOptionsBlockName(0x1A2B, 0x7F00DEAD0000), "/00001A2B00007F00DEAD0000MODULE");
}

TEST(SharedPublication, ChangedOptionsAreVisibleByNameFromAnotherMapping) {
    const std::string name = OwnBlockName();
    {
        TFaultModuleOptionsEx options(testing::kThisProgram, true);
        options.SetSMTPHost("smtp.example");
        ASSERT_EQ(options.LastPublicationError(), "");

        const std::string block = MapByName(name);
        ASSERT_GE(block.size(), 5u);
        std::uint32_t declared = 0;
        std::memcpy(&declared, block.data(), 4);
        EXPECT_EQ(declared, block.size());
        EXPECT_EQ(block[4], 1);
        EXPECT_EQ(block.substr(5), EncodeOptionsStream(options.Content()));

        struct stat status {};
        const int fd = shm_open(name.c_str(), O_RDONLY, 0);
        fstat(fd, &status);
        close(fd);
        EXPECT_EQ(status.st_mode & 0777, 0600u); // options may hold passwords

        options.SetZipPassword("later");
        TFaultModuleOptions pickedUp("/another/module", false);
        ASSERT_TRUE(LoadPublishedOptions(pickedUp, static_cast<std::uint32_t>(getpid()),
                                         SubsystemModule().Handle));
        EXPECT_EQ(pickedUp.Content(), options.Content());
    }
    EXPECT_FALSE(BlockExists(name)); // gone with its options
}

TEST(SharedPublication, AnotherProcessReadsTheBlock) {
    TFaultModuleOptionsEx options(testing::kThisProgram, true);
    options.SetLanguageName("Portugu\xEAs");
    const pid_t parent = getpid();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TFaultModuleOptions seen("", false);
        const bool loaded = LoadPublishedOptions(seen, static_cast<std::uint32_t>(parent),
                                                 SubsystemModule().Handle);
        _exit(loaded && seen.LanguageName() == "Portugu\xEAs" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SharedPublication, UnpublishRemovesTheBlock) {
    TFaultModuleOptionsEx options(testing::kThisProgram, true);
    options.SetSMTPPort(26);
    ASSERT_TRUE(BlockExists(OwnBlockName()));
    options.Unpublish();
    EXPECT_FALSE(BlockExists(OwnBlockName()));
    TFaultModuleOptions pickedUp("", false);
    EXPECT_FALSE(LoadPublishedOptions(pickedUp, static_cast<std::uint32_t>(getpid()),
                                      SubsystemModule().Handle));
}

TEST(SharedPublication, OptionsOfOtherModulesAreNotPublished) {
    TFaultModuleOptionsEx options("/usr/lib/x86_64-linux-gnu/libc.so.6", true);
    options.SetSMTPPort(26);
    EXPECT_FALSE(BlockExists(OwnBlockName()));
}

// A block written by someone else, with the given bytes.
class ForeignBlock {
public:
    explicit ForeignBlock(const std::string& bytes)
        : name_("/ft-test-" + std::to_string(getpid())) {
        const int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT, 0600);
        EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(fd);
    }
    ~ForeignBlock() { shm_unlink(name_.c_str()); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

TEST(SharedPublication, BadBlocksAreRefused) {
    EXPECT_THROW(ReadSharedOptionsBlock(ForeignBlock("ab").Name()), std::runtime_error);
    EXPECT_THROW(ReadSharedOptionsBlock(ForeignBlock(std::string("\x09\0\0\0\x01", 5)).Name()),
                 std::runtime_error);
    EXPECT_THROW(ReadSharedOptionsBlock(ForeignBlock(std::string("\x03\0\0\0", 4)).Name()),
                 std::runtime_error);
    EXPECT_EQ(ReadSharedOptionsBlock(ForeignBlock(std::string("\x06\0\0\0\x01\x02", 6)).Name()),
              std::string("\x01\x02"));
    EXPECT_EQ(ReadSharedOptionsBlock("/ft-test-no-such-block"), std::nullopt);
}

TEST(FreezeWatchSwitch, FollowsChangesOfTheRunningModulesSwitches) {
    std::vector<bool> switched;
    SetFreezeWatchSwitch([&](bool run) { switched.push_back(run); });

    TFaultModuleOptionsEx options(testing::kThisProgram, true);
    options.SetFreezeWatch(true);
    options.SetFreezeWatch(true); // no change, no switch
    options.SetHandlingActive(false);
    options.SetHandlingActive(true);
    options.SetFreezeWatch(false);
    EXPECT_EQ(switched, (std::vector<bool>{true, false, true, false}));

    switched.clear();
    TFaultModuleOptionsEx other("/usr/lib/x86_64-linux-gnu/libc.so.6", true);
    other.SetFreezeWatch(true);
    EXPECT_TRUE(other.FreezeWatch());
    EXPECT_TRUE(switched.empty());
    SetFreezeWatchSwitch(nullptr);
}

} // namespace
} // namespace faulttrap
