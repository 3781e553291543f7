#pragma once

#include "crashreport/debuginfo/compact_debug_info.h"
#include "crashreport/debuginfo/source_place.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

// The compact debug information of a module unpacked once into a sorted table of code
// ranges, so that an address is resolved by a binary search instead of a walk through
// every line table.
class DebugIndex {
public:
    struct Unit {
        std::string name;
        std::uint32_t codeOffset = 0;
        std::uint64_t codeEnd = 0;
    };
    struct Procedure {
        std::size_t unit = 0;
        std::string className;
        std::string name;
        std::uint32_t firstLine = 0;
    };
    struct Range {
        std::uint32_t begin = 0;
        std::uint64_t end = 0;
        std::uint32_t line = 0;
        std::size_t unit = 0;
        std::optional<std::size_t> procedure;
    };

    explicit DebugIndex(const CompactDebugInfo& info);

    // The source place of a code offset (from the module's code start), if a unit covers it.
    std::optional<SourcePlace> Find(std::uint64_t offset) const;

    const std::vector<Unit>& Units() const { return units_; }
    const std::vector<Procedure>& Procedures() const { return procedures_; }
    // In the order of the units and their line tables.
    const std::vector<Range>& Ranges() const { return ranges_; }

private:
    void AddUnit(const DebugUnit& unit);
    void StartProcedure(const std::string& storedName, std::uint32_t firstLine);

    std::vector<Unit> units_;
    std::vector<Procedure> procedures_;
    std::vector<Range> ranges_;
    std::vector<std::size_t> byAddress_; // indexes into ranges_, sorted by begin
    // The begins of byAddress_'s ranges side by side, so that the search stays in one small
    // block of memory.
    std::vector<std::uint32_t> sortedBegins_;
    std::string recentClass_;
};

} // namespace faulttrap
