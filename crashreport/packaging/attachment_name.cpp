#include "crashreport/packaging/attachment_name.h"

#include "crashreport/options/option_types.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>

namespace faulttrap {
namespace {

constexpr std::size_t ComputerNameLength = 15;

void InsertBeforeExtension(std::string& name, std::string_view addition) {
    const std::size_t dot = name.rfind('.');
    name.insert(dot == std::string::npos ? name.size() : dot, addition);
}

} // namespace

std::string ComputerName() {
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) != 0) {
        return {};
    }
    return std::string(host.data()).substr(0, ComputerNameLength);
}

std::string AttachmentName(std::string_view path, std::uint16_t sendOptions,
                           std::string_view computerName, const std::tm& exceptionTime) {
    std::string name = std::filesystem::path(path).filename().string();
    if (sendOptions & send_options::AddComputerNameToFileName) {
        InsertBeforeExtension(name, "__" + std::string(computerName.substr(0, ComputerNameLength)));
    }
    if (sendOptions & send_options::AddDateToFileName) {
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "__%04d%02d%02d%02d%02d%02d",
                      exceptionTime.tm_year + 1900, exceptionTime.tm_mon + 1, exceptionTime.tm_mday,
                      exceptionTime.tm_hour, exceptionTime.tm_min, exceptionTime.tm_sec);
        InsertBeforeExtension(name, stamp);
    }
    return name;
}

} // namespace faulttrap
