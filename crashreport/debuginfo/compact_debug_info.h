#pragma once

#include "debuginfo/line_step.h"
#include "debuginfo/name_field.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace faulttrap {

// A step of a unit's line table together with the name of the procedure it starts.
struct UnitStep {
    LineStep step;
    std::string procedure; // set only when step.startsProcedure

    bool operator==(const UnitStep&) const = default;
};

// One unit record: a source file's stretch of code whose lines only grow.
struct DebugUnit {
    std::string name;
    std::uint32_t firstLine = 0;
    std::uint32_t codeOffset = 0; // from the module's code start
    std::uint32_t codeSize = 0;
    std::vector<UnitStep> steps;

    bool operator==(const DebugUnit&) const = default;
};

// The compact debug information of one module.
struct CompactDebugInfo {
    std::vector<DebugUnit> units;

    bool operator==(const CompactDebugInfo&) const = default;
};

std::vector<std::uint8_t> encodeDebugInfo(const CompactDebugInfo& info, const NameCipher& cipher);

// Decodes the debug information; damaged data raises DebugDataError.
CompactDebugInfo decodeDebugInfo(std::span<const std::uint8_t> data, const NameDecoding& decoding);

} // namespace faulttrap
