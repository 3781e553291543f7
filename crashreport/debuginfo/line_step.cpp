#include "crashreport/debuginfo/line_step.h"

#include <stdexcept>

namespace faulttrap {

namespace {

constexpr std::uint32_t maxEscapeAdvance = 0x10000;
constexpr std::uint32_t zeroOffsetField = 4095;
constexpr std::uint32_t escapeValue = 0x0FFEFFFE;

std::uint32_t ProcedureBit(const LineStep& step) {
    return step.startsProcedure ? 4u : 0u;
}

} // namespace

bool IsEncodable(const LineStep& step) {
    return step.lineAdvance >= 1 && step.lineAdvance <= maxEscapeAdvance &&
           step.offsetAdvance <= maxEscapeAdvance;
}

void WriteLineStep(ByteWriter& out, const LineStep& step) {
    if (!IsEncodable(step)) {
        throw std::invalid_argument("line step advances out of range");
    }
    const std::uint32_t line = step.lineAdvance - 1;
    const std::uint32_t offset = step.offsetAdvance - 1; // wraps for an advance of 0

    if (step.offsetAdvance >= 1) {
        if (!step.startsProcedure && offset < 32 && line < 4) {
            out.U8(static_cast<std::uint8_t>(offset << 1 | line << 6));
            return;
        }
        if (step.startsProcedure && offset < 8 && line < 8) {
            out.U8(static_cast<std::uint8_t>(1 | offset << 2 | line << 5));
            return;
        }
        if (offset < 128 && line < 32) {
            out.U16(static_cast<std::uint16_t>(3 | ProcedureBit(step) | offset << 4 | line << 11));
            return;
        }
    }
    const bool fourByteFits = line < 0x10000 && (step.offsetAdvance == 0 || offset < 4095);
    const std::uint32_t field = step.offsetAdvance == 0 ? zeroOffsetField : offset;
    const std::uint32_t value = line | field << 16;
    if (fourByteFits && value != escapeValue) {
        out.U32(value << 4 | 0xB | ProcedureBit(step));
        return;
    }
    out.U32(escapeValue << 4 | 0xB | ProcedureBit(step));
    out.U16(static_cast<std::uint16_t>(line));
    out.U16(static_cast<std::uint16_t>(offset));
}

LineStep ReadLineStep(ByteReader& in) {
    const std::uint32_t first = in.U8("line step");
    LineStep step;
    if ((first & 1) == 0) {
        step.offsetAdvance = ((first >> 1) & 0x1F) + 1;
        step.lineAdvance = (first >> 6) + 1;
        return step;
    }
    if ((first & 3) == 1) {
        step.startsProcedure = true;
        step.offsetAdvance = ((first >> 2) & 7) + 1;
        step.lineAdvance = (first >> 5) + 1;
        return step;
    }
    if ((first & 8) == 0) {
        const std::uint32_t word = first | std::uint32_t{in.U8("line step")} << 8;
        step.startsProcedure = (word & 4) != 0;
        step.offsetAdvance = ((word >> 4) & 0x7F) + 1;
        step.lineAdvance = (word >> 11) + 1;
        return step;
    }
    const std::uint32_t rest =
        std::uint32_t{in.U8("line step")} << 8 | std::uint32_t{in.U16("line step")} << 16;
    const std::uint32_t value = (first | rest) >> 4;
    step.startsProcedure = (first & 4) != 0;
    if (value == escapeValue) {
        step.lineAdvance = std::uint32_t{in.U16("line step escape")} + 1;
        step.offsetAdvance = std::uint32_t{in.U16("line step escape")} + 1;
        return step;
    }
    step.lineAdvance = (value & 0xFFFF) + 1;
    const std::uint32_t field = value >> 16;
    step.offsetAdvance = field == zeroOffsetField ? 0 : field + 1;
    return step;
}

} // namespace faulttrap
