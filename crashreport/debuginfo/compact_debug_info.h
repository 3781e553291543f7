#pragma once

#include "crashreport/debuginfo/inlined_calls.h"
#include "crashreport/debuginfo/line_step.h"
#include "crashreport/debuginfo/name_field.h"

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
    InlinedCalls inlinedCalls; // written as a record of its own after the units, when any

    bool operator==(const CompactDebugInfo&) const = default;
};

std::vector<std::uint8_t> EncodeDebugInfo(const CompactDebugInfo& info, const NameCipher& cipher);

// Decodes the debug information; damaged data raises DebugDataError. Records of kinds this
// reader does not know are passed over.
CompactDebugInfo DecodeDebugInfo(std::span<const std::uint8_t> data, const NameDecoding& decoding);

// The records after the units: each kind with its payload, in stored order.
struct DebugRecord {
    std::uint8_t kind = 0;
    std::span<const std::uint8_t> payload;
};
// Reads the records from `in` to its end; a truncated record raises DebugDataError.
std::vector<DebugRecord> ReadDebugRecords(ByteReader& in);

} // namespace faulttrap
