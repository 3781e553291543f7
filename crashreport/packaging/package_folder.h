#pragma once

#include <filesystem>
#include <string>

namespace faulttrap {

// The folder of one delivery's package files: made under `parent` with a name no other program
// can foresee and open to this account only (mode 0700), so that no file of another account or
// of another delivery is ever taken for one of ours. Removed with everything in it when the
// delivery ends.
class TPackageFolder {
public:
    explicit TPackageFolder(const std::filesystem::path& parent);
    TPackageFolder(const TPackageFolder&) = delete;
    TPackageFolder& operator=(const TPackageFolder&) = delete;
    ~TPackageFolder();

    // Empty when the folder could not be made; Error() then says why.
    const std::filesystem::path& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    std::filesystem::path path_;
    std::string error_;
};

} // namespace faulttrap
