#include "crashreport/debuginfo/compact_debug_info.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <array>
#include <string_view>
#include <unordered_map>

namespace faulttrap {

std::vector<std::uint8_t> EncodeDebugInfo(const CompactDebugInfo& info, const NameCipher& cipher) {
    ByteWriter out;
    out.U32(static_cast<std::uint32_t>(info.units.size()));
    for (const DebugUnit& unit : info.units) {
        WriteNameField(out, unit.name, cipher);
        out.U32(unit.firstLine);
        out.U32(unit.codeOffset);
        out.U32(unit.codeSize);
        const std::size_t lengthPosition = out.size();
        out.U32(0);
        for (const UnitStep& step : unit.steps) {
            WriteLineStep(out, step.step);
            if (step.step.startsProcedure) {
                WriteNameField(out, step.procedure, cipher);
            }
        }
        out.PatchU32(lengthPosition, static_cast<std::uint32_t>(out.size() - lengthPosition - 4));
    }
    if (!info.inlinedCalls.empty()) {
        out.U8(static_cast<std::uint8_t>(DebugRecordKind::inlinedCalls));
        const std::size_t lengthPosition = out.size();
        out.U32(0);
        WriteInlinedCalls(out, info.inlinedCalls, cipher);
        out.PatchU32(lengthPosition, static_cast<std::uint32_t>(out.size() - lengthPosition - 4));
    }
    return out.Take();
}

std::vector<DebugRecord> ReadDebugRecords(ByteReader& in) {
    std::vector<DebugRecord> records;
    while (!in.AtEnd()) {
        DebugRecord record;
        record.kind = in.U8("record kind");
        record.payload = in.Bytes(in.U32("record length"), "record");
        records.push_back(record);
    }
    return records;
}

namespace {

// A name comes back in many unit records (a source file, a procedure split up by inlined
// code), and its stored bytes depend on the name alone: each distinct field is deciphered
// once, which is most of the time taken to load a module's debug information.
class NameReader {
public:
    explicit NameReader(const NameDecoding& decoding) : decoding_(decoding) {}

    std::string Read(ByteReader& in, NameRole role) {
        ByteReader field = in;
        SkipNameField(in, decoding_);
        const auto stored = ByteReader(field).Bytes(in.Position() - field.Position(), "name");
        auto& known = known_[role == NameRole::unit ? 0 : 1];
        const std::string_view key(reinterpret_cast<const char*>(stored.data()), stored.size());
        if (const auto found = known.find(key); found != known.end()) {
            return found->second;
        }
        return known.emplace(key, ReadNameField(field, decoding_, role)).first->second;
    }

private:
    const NameDecoding& decoding_;
    // Keyed by the stored bytes, which outlive the decoding.
    std::array<std::unordered_map<std::string_view, std::string>, 2> known_;
};

} // namespace

CompactDebugInfo DecodeDebugInfo(std::span<const std::uint8_t> data, const NameDecoding& decoding) {
    ByteReader in(data);
    const std::uint32_t count = in.U32("unit count");
    // Every unit record takes at least 17 bytes, which bounds a forged count.
    if (count > in.Remaining() / 17) {
        throw DebugDataError("unit count " + std::to_string(count) + " exceeds the data");
    }
    CompactDebugInfo info;
    info.units.reserve(count);
    NameReader names(decoding);
    for (std::uint32_t i = 0; i < count; ++i) {
        DebugUnit unit;
        unit.name = names.Read(in, NameRole::unit);
        unit.firstLine = in.U32("unit first line");
        unit.codeOffset = in.U32("unit code offset");
        unit.codeSize = in.U32("unit code size");
        const std::uint32_t tableLength = in.U32("line table length");
        ByteReader table(in.Bytes(tableLength, "line table"));
        while (!table.AtEnd()) {
            UnitStep step{ReadLineStep(table), {}};
            if (step.step.startsProcedure) {
                step.procedure = names.Read(table, NameRole::procedure);
            }
            unit.steps.push_back(std::move(step));
        }
        info.units.push_back(std::move(unit));
    }
    for (const DebugRecord& record : ReadDebugRecords(in)) {
        if (record.kind == static_cast<std::uint8_t>(DebugRecordKind::inlinedCalls)) {
            info.inlinedCalls = ReadInlinedCalls(record.payload, decoding);
        }
    }
    return info;
}

} // namespace faulttrap
