#include "crashreport/web/file_contents.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace faulttrap {

std::optional<std::string> ReadFileIfPresent(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        throw TFileReadError("Cannot open the file \"" + path + "\": " + std::strerror(errno));
    }
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        throw TFileReadError("Cannot read the file \"" + path + "\": " + std::strerror(errno));
    }
    return bytes;
}

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace faulttrap
