#include "crashreport/debuginfo/module_version.h"

#include "crashreport/debuginfo/elf_section.h"

#include <charconv>
#include <exception>

namespace faulttrap {

std::optional<std::string> FourPartVersion(std::string_view version) {
    std::string shown;
    int parts = 0;
    while (parts < 4) {
        const std::size_t dot = version.find('.');
        const std::string_view part = version.substr(0, dot);
        unsigned number = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (part.empty() || error != std::errc() || end != part.data() + part.size()) {
            return std::nullopt;
        }
        shown += (parts == 0 ? "" : ".") + std::to_string(number);
        ++parts;
        if (dot == std::string_view::npos) {
            break;
        }
        version.remove_prefix(dot + 1);
        if (parts == 4) {
            return std::nullopt;
        }
    }
    for (; parts < 4; ++parts) {
        shown += ".0";
    }
    return shown;
}

std::string ModuleVersion(const std::string& path) {
    try {
        const auto bytes = ReadElfSection(path, moduleVersionSection);
        if (!bytes) {
            return {};
        }
        return FourPartVersion(std::string(bytes->begin(), bytes->end())).value_or("");
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace faulttrap
