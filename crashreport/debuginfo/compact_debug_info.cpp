#include "debuginfo/compact_debug_info.h"

#include "debuginfo/debug_data_error.h"

namespace faulttrap {

std::vector<std::uint8_t> encodeDebugInfo(const CompactDebugInfo& info, const NameCipher& cipher) {
    ByteWriter out;
    out.u32(static_cast<std::uint32_t>(info.units.size()));
    for (const DebugUnit& unit : info.units) {
        writeNameField(out, unit.name, cipher);
        out.u32(unit.firstLine);
        out.u32(unit.codeOffset);
        out.u32(unit.codeSize);
        const std::size_t lengthPosition = out.size();
        out.u32(0);
        for (const UnitStep& step : unit.steps) {
            writeLineStep(out, step.step);
            if (step.step.startsProcedure)
                writeNameField(out, step.procedure, cipher);
        }
        out.patchU32(lengthPosition, static_cast<std::uint32_t>(out.size() - lengthPosition - 4));
    }
    return out.take();
}

CompactDebugInfo decodeDebugInfo(std::span<const std::uint8_t> data, const NameDecoding& decoding) {
    ByteReader in(data);
    const std::uint32_t count = in.u32("unit count");
    // Every unit record takes at least 17 bytes, which bounds a forged count.
    if (count > in.remaining() / 17)
        throw DebugDataError("unit count " + std::to_string(count) + " exceeds the data");
    CompactDebugInfo info;
    info.units.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        DebugUnit unit;
        unit.name = readNameField(in, decoding, NameRole::unit);
        unit.firstLine = in.u32("unit first line");
        unit.codeOffset = in.u32("unit code offset");
        unit.codeSize = in.u32("unit code size");
        const std::uint32_t tableLength = in.u32("line table length");
        ByteReader table(in.bytes(tableLength, "line table"));
        while (!table.atEnd()) {
            UnitStep step{readLineStep(table), {}};
            if (step.step.startsProcedure)
                step.procedure = readNameField(table, decoding, NameRole::procedure);
            unit.steps.push_back(std::move(step));
        }
        info.units.push_back(std::move(unit));
    }
    if (!in.atEnd())
        throw DebugDataError("unexpected bytes after the last unit");
    return info;
}

} // namespace faulttrap
