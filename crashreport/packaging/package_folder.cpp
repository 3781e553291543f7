#include "crashreport/packaging/package_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace faulttrap {

TPackageFolder::TPackageFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "FaultTrap-XXXXXX").string();
    // mkdtemp makes the folder with mode 0700.
    if (::mkdtemp(pattern.data()) == nullptr) {
        error_ = "Cannot create a folder in \"" + parent.string() + "\": " + std::strerror(errno);
        return;
    }
    path_ = pattern;
}

TPackageFolder::~TPackageFolder() {
    if (path_.empty()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace faulttrap
