// Modules whose DWARF is stored compressed are read by the own line-table reader: the C
// library's separate debug file (libc6-dbg) and a compressed copy of this program give the
// same file and line as libdw gives for the same addresses, and a damaged line section is
// named and read by libdw instead.

#include "crashreport/debuginfo/dwarf_library.h"
#include "crashreport/debuginfo/dwarf_line_table.h"
#include "crashreport/debuginfo/dwarf_section.h"
#include "crashreport/debuginfo/dwarf_source.h"
#include "crashreport/debuginfo/elf_function_symbols.h"
#include "crashreport/debuginfo/elf_image.h"
#include "crashreport/debuginfo/local_debuginfo.h"
#include "crashreport/debuginfo/separate_debug_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace faulttrap {
namespace {

// Its first row is the line of its name.
constexpr std::uint32_t markedLine = __LINE__ + 1;
__attribute__((noinline)) int MarkedFunction(int x) {
    return x * 3 + std::rand();
}

std::string OwnPath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

std::string CLibraryPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&::strlen), &info) == 0) {
        return {};
    }
    return std::filesystem::canonical(info.dli_fname).string();
}

std::string BaseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// What libdw says for an address of a module, found the way the resolver always found it.
class LibdwLines {
public:
    explicit LibdwLines(const std::string& path) : dw_(LoadedDwarfLibrary()) {
        if (!dw_) {
            return;
        }
        callbacks_ = {dw_->buildIdFindElf, FindLocalDebugInfo, dw_->offlineSectionAddress,
                      &debugInfoPath_};
        session_ = dw_->begin(&callbacks_);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        dw_->reportBegin(session_);
        module_ = dw_->reportElf(session_, path.c_str(), path.c_str(), fd, 0, false);
        dw_->reportEnd(session_, nullptr, nullptr);
        Dwarf_Addr bias = 0;
        if (module_ && !dw_->moduleGetDwarf(module_, &bias)) {
            module_ = nullptr;
        }
    }
    ~LibdwLines() {
        if (session_) {
            dw_->end(session_);
        }
    }
    bool Usable() const { return module_ != nullptr; }
    std::optional<std::pair<std::string, std::uint32_t>> Find(std::uint64_t address) const {
        Dwfl_Line* row = dw_->moduleGetSrc(module_, address);
        int line = 0;
        const char* file =
            row ? dw_->lineInfo(row, nullptr, &line, nullptr, nullptr, nullptr) : nullptr;
        if (!file || line <= 0) {
            return std::nullopt;
        }
        return std::pair(BaseName(file), static_cast<std::uint32_t>(line));
    }

private:
    const DwarfLibrary* dw_;
    char* debugInfoPath_ = nullptr;
    Dwfl_Callbacks callbacks_{};
    Dwfl* session_ = nullptr;
    Dwfl_Module* module_ = nullptr;
};

struct Comparison {
    std::size_t compared = 0;
    std::vector<std::string> differences;
};

// The start, middle and last byte of every function of `symbols`: the own reader of the
// module `path` against libdw.
Comparison CompareWithLibdw(const std::string& path, const DwarfSource& own,
                            const std::vector<ElfFunctionSymbol>& symbols) {
    Comparison result;
    const LibdwLines reference(path);
    EXPECT_TRUE(reference.Usable()) << path;
    if (!reference.Usable()) {
        return result;
    }
    for (const ElfFunctionSymbol& symbol : symbols) {
        if (symbol.size == 0) {
            continue;
        }
        for (const std::uint64_t address :
             {symbol.address, symbol.address + symbol.size / 2, symbol.address + symbol.size - 1}) {
            const auto expected = reference.Find(address);
            const auto found = own.Find(address);
            const std::uint32_t line = found ? found->line : 0;
            const std::string unit = found && line ? found->unit : "";
            const std::string wanted =
                expected ? expected->first + ":" + std::to_string(expected->second) : ":0";
            if (unit + ":" + std::to_string(line) != wanted) {
                std::ostringstream text;
                text << symbol.name << "+0x" << std::hex << address - symbol.address << ": " << unit
                     << ":" << std::dec << line << ", libdw " << wanted;
                result.differences.push_back(text.str());
            }
            ++result.compared;
        }
    }
    return result;
}

std::string FirstDifferences(const Comparison& comparison) {
    std::string text;
    for (std::size_t i = 0; i < comparison.differences.size() && i < 20; ++i) {
        text += comparison.differences[i] + "\n";
    }
    return text;
}

TEST(CompressedDwarf, TheCLibraryDebugFileReadsAsLibdwReadsIt) {
    const std::string library = CLibraryPath();
    ASSERT_FALSE(library.empty());
    const ElfImage module(library);
    const std::string debugPath = FindSeparateDebugFile(module, library);
    if (debugPath.empty()) {
        GTEST_SKIP() << "no separate debug file of " << library << " (libc6-dbg)";
    }
    const ElfImage debugFile(debugPath);
    ASSERT_TRUE(HasCompressedDwarfSection(debugFile, ".debug_line")) << debugPath;

    std::string problem;
    const auto own = DwarfSource::Open(library, &problem);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(problem, "");
    const Comparison comparison =
        CompareWithLibdw(library, *own, ReadFunctionSymbols(debugFile, SHT_SYMTAB));
    EXPECT_GT(comparison.compared, 10000u);
    std::cout << comparison.compared << " addresses compared\n";
    EXPECT_TRUE(comparison.differences.empty())
        << comparison.differences.size() << " of " << comparison.compared << " differ:\n"
        << FirstDifferences(comparison);
}

// A file made with objcopy in a fresh folder, removed with it.
class CompressedCopies : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("dwarf_source_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Objcopy(const std::string& name, const std::string& options,
                        const std::string& from = OwnPath()) {
        const std::string out = (folder_ / name).string();
        const std::string command = "objcopy " + options + " '" + from + "' '" + out + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return out;
    }

    std::filesystem::path folder_;
};

TEST_F(CompressedCopies, ACompressedProgramReadsAsLibdwReadsTheOriginal) {
    const std::string compressed = Objcopy("compressed", "--compress-debug-sections=zlib-gabi");
    const ElfImage image(compressed);
    ASSERT_TRUE(HasCompressedDwarfSection(image, ".debug_line"));
    std::string problem;
    const auto own = DwarfSource::Open(compressed, &problem);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(problem, "");

    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&MarkedFunction), &info), 0);
    const auto place = own->Find(reinterpret_cast<std::uintptr_t>(&MarkedFunction) -
                                 reinterpret_cast<std::uintptr_t>(info.dli_fbase));
    ASSERT_TRUE(place);
    EXPECT_EQ(place->procedure, "MarkedFunction");
    EXPECT_EQ(place->unit, "dwarf_source_test.cpp");
    EXPECT_EQ(place->line, markedLine);

    const Comparison comparison =
        CompareWithLibdw(OwnPath(), *own, ReadFunctionSymbols(image, SHT_SYMTAB));
    EXPECT_GT(comparison.compared, 3000u);
    std::cout << comparison.compared << " addresses compared\n";
    EXPECT_TRUE(comparison.differences.empty())
        << comparison.differences.size() << " of " << comparison.compared << " differ:\n"
        << FirstDifferences(comparison);
}

TEST_F(CompressedCopies, ADamagedLineSectionIsNamedAndLibdwReadsTheModule) {
    const ElfImage original(OwnPath());
    auto line = ReadDwarfSection(original, ".debug_line");
    ASSERT_TRUE(line);
    ASSERT_GT(line->bytes.size(), 6u);
    line->bytes[4] = 99; // the first unit's version
    const auto damagedLine = folder_ / "damaged_line";
    std::ofstream(damagedLine, std::ios::binary)
        .write(reinterpret_cast<const char*>(line->bytes.data()), std::ssize(line->bytes));
    const std::string damaged = Objcopy(
        "damaged", "--compress-debug-sections=zlib-gabi",
        Objcopy("damaged_plain", "--update-section .debug_line='" + damagedLine.string() + "'"));

    std::string problem;
    const auto source = DwarfSource::Open(damaged, &problem);
    EXPECT_EQ(problem, ".debug_line unit at 0x0: version 99 is not supported");
    ASSERT_NE(source, nullptr);
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&MarkedFunction), &info), 0);
    const auto place = source->Find(reinterpret_cast<std::uintptr_t>(&MarkedFunction) -
                                    reinterpret_cast<std::uintptr_t>(info.dli_fbase));
    ASSERT_TRUE(place);
    EXPECT_EQ(place->procedure, "MarkedFunction");
}

} // namespace
} // namespace faulttrap
