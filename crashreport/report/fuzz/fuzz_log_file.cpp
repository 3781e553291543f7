// Feeds arbitrary bytes to the log-file loader as a log file, works on what it finds and checks
// that saving and loading again keeps every report and item.

#include "crashreport/report/log_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* reason) {
    std::fprintf(stderr, "fuzz_log_file: %s\n", reason);
    std::abort();
}

// A private folder, in memory when possible: a file on disk per input slows fuzzing a lot.
class Folder {
public:
    Folder() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "fuzzlogXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            Fail("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path File() const { return path_ / "fuzz.ftlog"; }

private:
    std::filesystem::path path_;
};

const char* const kItems[] = {"1.3", "2.6", "2.7", "2.8", "3.3", "3.5", "7.6", "8.1"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    {
        std::ofstream file(folder.File(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file) {
            Fail("cannot write the input");
        }
    }
    std::vector<std::string> reports;
    std::vector<std::string> values;
    {
        faulttrap::TLogFile log(folder.File(), faulttrap::LogFileAccess::ReadWrite);
        // Every damaged report is named once, in file order, with what is wrong with it.
        int previous = 0;
        for (const faulttrap::LogDamage& damage : log.Damage()) {
            if (damage.report <= previous || damage.line < 1 || damage.reason.empty() ||
                faulttrap::DescribeDamage(damage).empty()) {
                Fail("a damaged report is not named properly");
            }
            previous = damage.report;
        }
        for (int position = 0; position < log.Count(); ++position) {
            if (log.WriteItem(position, "2.8", "5", "Count") &&
                log.ReadItem(position, "2.8") != "5") {
                Fail("a written item reads back differently");
            }
            for (const char* item : kItems) {
                values.push_back(log.ReadItem(position, item).value_or("<none>"));
                log.Find({{item, values.back()}});
            }
            reports.push_back(log.Report(position));
        }
        log.Append(std::string(reinterpret_cast<const char*>(data), size), 4);
        log.Save();
    }
    const faulttrap::TLogFile reloaded(folder.File(), faulttrap::LogFileAccess::ReadOnly);
    if (reloaded.Count() > 4) {
        Fail("more reports than the limit");
    }
    // The reports kept before the appended one come back unchanged.
    const int kept = std::min<int>(static_cast<int>(reports.size()), 3);
    const int first = static_cast<int>(reports.size()) - kept;
    for (int i = 0; i < kept && i < reloaded.Count(); ++i) {
        if (reloaded.Report(i) != reports[static_cast<std::size_t>(first + i)]) {
            Fail("a report changed through saving and loading");
        }
        for (std::size_t k = 0; k < std::size(kItems); ++k) {
            const std::size_t index = static_cast<std::size_t>(first + i) * std::size(kItems) + k;
            if (reloaded.ReadItem(i, kItems[k]).value_or("<none>") != values[index]) {
                Fail("an item changed through saving and loading");
            }
        }
    }
    if (reloaded.Count() < kept) {
        Fail("a report was lost through saving and loading");
    }
    return 0;
}
