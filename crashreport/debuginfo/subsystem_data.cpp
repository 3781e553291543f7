#include "crashreport/debuginfo/subsystem_data.h"

#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/name_cipher.h"
#include "crashreport/debuginfo/zlib_codec.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace faulttrap {

namespace {

constexpr std::size_t symbolRecordSize = 9;
constexpr std::size_t maxOptionsStream = 16u << 20;
constexpr std::size_t maxDebugBlock = 1u << 30;
constexpr std::uint16_t oldestReadableVersion = 500;
constexpr std::uint16_t firstVersionWithFlags = 6000;
constexpr double unixEpochInDays = 25569.0; // 1 January 1970 counted from 30 December 1899

std::uint16_t normalisedVersion(std::uint16_t stored) {
    return stored >= 600 && stored <= 602 ? static_cast<std::uint16_t>(6000 + stored - 600)
                                          : stored;
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

} // namespace

std::vector<std::uint8_t> encodeSubsystemData(const SubsystemData& data) {
    ByteWriter out;
    out.u32(data.magic);
    out.u16(data.version);
    out.f64(data.compilationTime);
    out.u8(data.flags[0]);
    out.u8(data.flags[1]);

    out.u32(static_cast<std::uint32_t>(data.symbols.size() * symbolRecordSize));
    for (const SymbolRecord& symbol : data.symbols) {
        out.u8(symbol.number);
        out.u32(symbol.offset);
        out.u32(symbol.extra);
    }

    const std::vector<std::uint8_t> options =
        data.optionsStream.empty() ? std::vector<std::uint8_t>{} : zlibCompress(data.optionsStream);
    out.u32(static_cast<std::uint32_t>(options.size()));
    out.raw(options);

    out.raw(data.checkValue);

    ByteWriter debug;
    debug.u32(static_cast<std::uint32_t>(data.debugInformation.size()));
    debug.raw(data.debugInformation);
    out.raw(zlibCompress(debug.bytes()));
    return out.take();
}

SubsystemData decodeSubsystemData(std::span<const std::uint8_t> bytes, DebugBlock debugBlock) {
    ByteReader in(bytes);
    SubsystemData data;
    data.magic = in.u32("magic");
    if (data.magic != subsystemDataMagic && data.magic != subsystemDataMagicAlternative)
        throw DebugDataError("not subsystem data: magic " + hex(data.magic));
    data.version = normalisedVersion(in.u16("version"));
    if (data.version > subsystemDataVersion)
        throw DebugDataError("subsystem data version " + std::to_string(data.version) +
                             " is newer than " + std::to_string(subsystemDataVersion));
    if (data.version < oldestReadableVersion)
        throw DebugDataError("subsystem data version " + std::to_string(data.version) +
                             " is older than " + std::to_string(oldestReadableVersion));
    data.compilationTime = in.f64("compilation time");
    if (data.version >= firstVersionWithFlags) {
        data.flags[0] = in.u8("flags");
        data.flags[1] = in.u8("flags");
    }

    const std::uint32_t symbolBytes = in.u32("symbol table length");
    if (symbolBytes % symbolRecordSize != 0)
        throw DebugDataError("symbol table length " + std::to_string(symbolBytes) +
                             " is not a whole number of records");
    ByteReader symbols(in.bytes(symbolBytes, "symbol table"));
    while (!symbols.atEnd()) {
        SymbolRecord record;
        record.number = symbols.u8("symbol number");
        record.offset = symbols.u32("symbol offset");
        record.extra = symbols.u32("symbol value");
        data.symbols.push_back(record);
    }

    const std::uint32_t optionsBytes = in.u32("options block length");
    const auto options = in.bytes(optionsBytes, "options block");
    if (!options.empty())
        data.optionsStream = zlibDecompress(options, maxOptionsStream);

    const auto check = in.bytes(4, "check value");
    std::copy(check.begin(), check.end(), data.checkValue.begin());
    if (debugBlock == DebugBlock::leave)
        return data;

    data.debugInformation =
        zlibDecompressCounted(in.bytes(in.remaining(), "debug block"), maxDebugBlock);
    return data;
}

std::array<std::uint8_t, 4> makeCheckValue(std::uint32_t magic, std::string_view password) {
    ByteWriter plain;
    plain.u32(magic);
    const std::vector<std::uint8_t> sealed = NameCipher(password).encrypt(plain.bytes());
    return {sealed[0], sealed[1], sealed[2], sealed[3]};
}

bool passwordMatches(const SubsystemData& data, std::string_view password) {
    return data.checkValue == makeCheckValue(data.magic, password);
}

double compilationTimeFromUnix(std::int64_t seconds) {
    return unixEpochInDays + static_cast<double>(seconds) / 86400.0;
}

std::optional<std::int64_t> unixFromCompilationTime(double days) {
    if (days == 0)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround((days - unixEpochInDays) * 86400.0));
}

} // namespace faulttrap
