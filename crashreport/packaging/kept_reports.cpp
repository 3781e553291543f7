#include "crashreport/packaging/kept_reports.h"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace faulttrap {

namespace fs = std::filesystem;

bool MoveWithoutReplacing(const fs::path& archive, const fs::path& folder,
                          const std::string& name) {
    const fs::path target = folder / name;
    if (renameat2(AT_FDCWD, archive.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EXDEV) {
        return false;
    }
    // Another file system: copy (refusing an existing target), then drop the original.
    std::error_code error;
    if (!fs::copy_file(archive, target, fs::copy_options::none, error)) {
        return false;
    }
    fs::remove(archive, error);
    return true;
}

void PruneKeptArchives(const fs::path& folder, std::size_t keep) {
    std::error_code error;
    std::vector<fs::path> archives;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".zip" && it->is_regular_file(error)) {
            archives.push_back(it->path());
        }
    }
    if (archives.size() <= keep) {
        return;
    }
    std::sort(archives.begin(), archives.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() < b.filename().string();
    });
    for (std::size_t i = 0; i + keep < archives.size(); ++i) {
        fs::remove(archives[i], error);
    }
}

} // namespace faulttrap
