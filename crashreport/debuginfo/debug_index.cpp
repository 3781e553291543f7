#include "crashreport/debuginfo/debug_index.h"

#include <algorithm>

namespace faulttrap {

DebugIndex::DebugIndex(const CompactDebugInfo& info) {
    units_.reserve(info.units.size());
    for (const DebugUnit& unit : info.units) {
        AddUnit(unit);
    }
    byAddress_.resize(ranges_.size());
    for (std::size_t i = 0; i < byAddress_.size(); ++i) {
        byAddress_[i] = i;
    }
    std::stable_sort(byAddress_.begin(), byAddress_.end(), [this](std::size_t a, std::size_t b) {
        return ranges_[a].begin < ranges_[b].begin;
    });
    sortedBegins_.reserve(byAddress_.size());
    for (const std::size_t index : byAddress_) {
        sortedBegins_.push_back(ranges_[index].begin);
    }
}

// A name that starts with "." belongs to the class most recently named; one that contains
// "." names its class before the dot and makes it the most recent; others have no class.
void DebugIndex::StartProcedure(const std::string& storedName, std::uint32_t firstLine) {
    Procedure procedure{units_.size() - 1, {}, storedName, firstLine};
    const std::size_t dot = storedName.find('.');
    if (dot == 0) {
        procedure.className = recentClass_;
        procedure.name = storedName.substr(1);
    } else if (dot != std::string::npos) {
        procedure.className = storedName.substr(0, dot);
        procedure.name = storedName.substr(dot + 1);
        recentClass_ = procedure.className;
    }
    procedures_.push_back(std::move(procedure));
}

void DebugIndex::AddUnit(const DebugUnit& unit) {
    const std::uint64_t unitEnd = std::uint64_t{unit.codeOffset} + unit.codeSize;
    units_.push_back({unit.name, unit.codeOffset, unitEnd});
    const std::size_t unitIndex = units_.size() - 1;
    const std::size_t firstRange = ranges_.size();
    std::optional<std::size_t> current;
    std::uint32_t line = unit.firstLine;
    std::uint64_t offset = unit.codeOffset;

    const auto addRange = [&](std::uint64_t end) {
        const std::uint64_t clippedEnd = std::min(end, unitEnd);
        if (clippedEnd > offset) {
            ranges_.push_back(
                {static_cast<std::uint32_t>(offset), clippedEnd, line, unitIndex, current});
        }
    };
    for (const UnitStep& step : unit.steps) {
        const std::uint64_t next = offset + step.step.offsetAdvance;
        addRange(next);
        offset = next;
        line += step.step.lineAdvance;
        if (step.step.startsProcedure) {
            StartProcedure(step.procedure, line);
            // Code ahead of a unit's first procedure start belongs to that procedure.
            if (!current) {
                for (std::size_t i = firstRange; i < ranges_.size(); ++i) {
                    ranges_[i].procedure = procedures_.size() - 1;
                }
            }
            current = procedures_.size() - 1;
        }
    }
    addRange(unitEnd);
}

std::optional<SourcePlace> DebugIndex::Find(std::uint64_t offset) const {
    const auto after =
        std::upper_bound(sortedBegins_.begin(), sortedBegins_.end(), offset,
                         [](std::uint64_t value, std::uint32_t begin) { return value < begin; });
    if (after == sortedBegins_.begin()) {
        return std::nullopt;
    }
    const Range& range =
        ranges_[byAddress_[static_cast<std::size_t>(std::prev(after) - sortedBegins_.begin())]];
    if (offset >= range.end) {
        return std::nullopt;
    }
    SourcePlace place{units_[range.unit].name, {}, {}, range.line, 0};
    if (range.procedure) {
        const Procedure& procedure = procedures_[*range.procedure];
        place.className = procedure.className;
        place.procedure = procedure.name;
        if (range.line > procedure.firstLine) {
            place.lineOffset = range.line - procedure.firstLine;
        }
    }
    return place;
}

} // namespace faulttrap
