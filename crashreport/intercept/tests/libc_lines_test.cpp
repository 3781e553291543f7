// A fault inside the C library, through a real report: with the library's separate debug file
// on the machine (libc6-dbg, stored compressed), the faulting thread's rows inside the library
// carry the procedure, file and line that addr2line reads from that file.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/debuginfo/elf_image.h"
#include "crashreport/debuginfo/separate_debug_file.h"
#include "crashreport/report/log_file.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace faulttrap::testing {
namespace {

std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::stringstream stream(row);
    for (std::string cell; std::getline(stream, cell, '|');) {
        const std::size_t first = cell.find_first_not_of(' ');
        cells.push_back(first == std::string::npos
                            ? std::string()
                            : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    }
    return cells;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// "function\nfolder/file.c:123\n" of addr2line for one address of the debug file.
std::pair<std::string, std::string> Addr2line(const std::string& debugFile, std::uint64_t offset) {
    char command[512];
    std::snprintf(command, sizeof command, "addr2line -f -e '%s' %llx", debugFile.c_str(),
                  static_cast<unsigned long long>(offset));
    std::FILE* pipe = ::popen(command, "r");
    std::string output;
    std::array<char, 256> chunk;
    while (pipe != nullptr && std::fgets(chunk.data(), chunk.size(), pipe) != nullptr) {
        output += chunk.data();
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    const std::vector<std::string> lines = Lines(output);
    if (lines.size() < 2) {
        return {};
    }
    const std::string place = lines[1].substr(lines[1].rfind('/') + 1);
    return {lines[0], place.substr(0, place.find(' '))};
}

TEST(CLibraryLines, AFaultInsideTheCLibraryShowsTheLinesOfItsDebugFile) {
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&::strlen), &info), 0);
    const std::string library = std::filesystem::canonical(info.dli_fname).string();
    const std::string debugFile = FindSeparateDebugFile(ElfImage(library), library);
    if (debugFile.empty()) {
        GTEST_SKIP() << "no separate debug file of " << library << " (libc6-dbg)";
    }

    const auto folder = FreshFolder("libc-lines");
    const auto log = folder / "crash.ftlog";
    const CrashRun run = RunCrashers({"stdio-fault", "--dialog", "0", "--log", log.string()});
    ASSERT_EQ(run.exitCode, 1) << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    const std::vector<std::string> report = Lines(file.Report(0));

    std::uint64_t base = 0;
    for (const std::string& row : report) {
        if (const auto cells = Cells(row);
            cells.size() > 7 && cells[2] == "libc.so.6" && cells[7].ends_with("x86_64-linux-gnu")) {
            base = std::stoull(cells[1], nullptr, 16);
        }
    }
    ASSERT_NE(base, 0u) << file.Report(0);

    const auto caption = std::find_if(report.begin(), report.end(), [](const std::string& row) {
        return row.starts_with("|*Exception Thread");
    });
    ASSERT_NE(caption, report.end());
    int compared = 0;
    for (auto row = caption + 2; row != report.end(); ++row) {
        const std::vector<std::string> cells = Cells(*row);
        if (cells.size() < 7 || cells[2] != "libc.so.6") {
            break;
        }
        const std::uint64_t address = std::stoull(cells[1], nullptr, 16);
        const auto [procedure, place] = Addr2line(debugFile, address - base);
        const std::string line = cells[6].substr(0, cells[6].find('['));
        EXPECT_EQ(cells[3] + ":" + line, place) << *row;
        // Of aliases the report names the global one, addr2line the one it meets first.
        if (compared == 0) {
            EXPECT_EQ(cells[5], procedure) << *row;
        }
        ++compared;
    }
    // strlen, the formatting inside printf, printf itself.
    EXPECT_GE(compared, 3) << file.Report(0);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace faulttrap::testing
