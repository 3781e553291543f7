#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/elf_image.h"
#include "crashreport/debuginfo/elf_section.h"
#include "crashreport/debuginfo/exported_functions.h"

#include <dlfcn.h>
#include <elf.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace faulttrap {
namespace {

std::string OwnPath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::vector<char>& bytes)
        : path_(std::filesystem::temp_directory_path() /
                ("elf_image_test_" + std::to_string(::getpid()))) {
        std::ofstream(path_, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    }
    ~TemporaryFile() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// The sections this program is known to have, read in place, and the container the build
// embedded, the same through the mapped image as through its copying reader.
TEST(ElfImage, FindsTheSectionsOfThisProgram) {
    const ElfImage image(OwnPath());
    const ElfImage::Section* text = image.Find(".text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->type, SHT_PROGBITS);
    EXPECT_GT(text->bytes.size(), 1000u);
    const ElfImage::Section* bss = image.Find(".bss");
    ASSERT_NE(bss, nullptr);
    EXPECT_TRUE(bss->bytes.empty());
    EXPECT_EQ(image.Find(".no-such-section"), nullptr);

    const ElfImage::Section* container = image.Find(".ftdata");
    ASSERT_NE(container, nullptr);
    const auto copied = ReadElfSection(OwnPath(), ".ftdata");
    ASSERT_TRUE(copied);
    EXPECT_TRUE(std::equal(copied->begin(), copied->end(), container->bytes.begin(),
                           container->bytes.end()));
    EXPECT_FALSE(ReadElfSection(OwnPath(), ".no-such-section"));
}

TEST(ElfImage, RefusesFilesThatAreNotWholeElfFiles) {
    EXPECT_THROW(ElfImage("/nonexistent/file"), DebugDataError);
    const std::vector<char> program = FileBytes(OwnPath());
    ASSERT_GT(program.size(), 4096u);
    const std::vector<char> cases[] = {
        {},                                                             // empty
        std::vector<char>(program.begin(), program.begin() + 32),       // header cut short
        std::vector<char>(program.begin(), program.end() - 64),         // section table cut
        std::vector<char>{'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h'}, // not ELF
    };
    for (const auto& bytes : cases) {
        const TemporaryFile file(bytes);
        EXPECT_THROW(ElfImage{file.Path()}, DebugDataError) << bytes.size() << " bytes";
    }
}

// A library's exports, read from its file, lie where the dynamic linker put them.
TEST(ExportedFunctions, ListsTheExportsOfALoadedLibraryAtTheirAddresses) {
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&::inflate), &info), 0);
    const TFaultFunctionsList exports = TFaultFunctionsList::Read(info.dli_fname);
    ASSERT_GT(exports.Functions().size(), 20u);
    const auto base = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    for (const char* name : {"inflate", "deflate", "crc32"}) {
        const auto address = reinterpret_cast<std::uintptr_t>(::dlsym(RTLD_DEFAULT, name));
        ASSERT_NE(address, 0u) << name;
        const auto* found = exports.Find(address - base);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->name, name);
        EXPECT_EQ(found->address, address - base);
    }
    EXPECT_TRUE(TFaultFunctionsList::Read("/nonexistent/library.so").Functions().empty());
}

} // namespace
} // namespace faulttrap
