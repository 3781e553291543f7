#pragma once

#include "crashreport/debuginfo/byte_io.h"

#include <cstdint>

namespace faulttrap {

// One step of a unit's line table: the current line always moves forward (by 1 to
// 65536), the current code offset by 0 to 65536, and the step may start a procedure.
struct LineStep {
    std::uint32_t lineAdvance = 1;
    std::uint32_t offsetAdvance = 1;
    bool startsProcedure = false;

    bool operator==(const LineStep&) const = default;
};

// Whether any step form can carry these advances (an offset advance of 0 only fits
// the four-byte form).
bool IsEncodable(const LineStep& step);

// Writes the step in its shortest form: one byte, two bytes, four bytes, or the
// four-byte escape followed by two 16-bit advances. Throws std::invalid_argument for
// a step that isEncodable rejects.
void WriteLineStep(ByteWriter& out, const LineStep& step);

// Reads one step; a truncated step raises DebugDataError.
LineStep ReadLineStep(ByteReader& in);

} // namespace faulttrap
