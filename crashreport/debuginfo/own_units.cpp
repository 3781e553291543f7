#include "crashreport/debuginfo/own_units.h"

#include <filesystem>
#include <set>
#include <string>

namespace faulttrap {

namespace {

// Every source and header file of FaultTrap's components, as the build lists them (with their
// folders, as the build names them).
constexpr const char* ownUnitFiles[] = {
#include "own_unit_files.inc"
};

const std::set<std::string, std::less<>>& OwnUnits() {
    static const auto* units = [] {
        auto* names = new std::set<std::string, std::less<>>;
        for (const char* file : ownUnitFiles) {
            names->insert(std::filesystem::path(file).filename().string());
        }
        return names;
    }();
    return *units;
}

} // namespace

bool IsOwnUnit(std::string_view unit) {
    return OwnUnits().find(unit) != OwnUnits().end();
}

} // namespace faulttrap
