#include "crashreport/debuginfo/subsystem_data.h"

#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/name_cipher.h"
#include "crashreport/debuginfo/zlib_codec.h"
#include "crashreport/text/strings.h"

#include <cmath>
#include <string>

namespace faulttrap {

namespace {

constexpr std::size_t symbolRecordSize = 9;
constexpr std::size_t maxOptionsStream = 16u << 20;
constexpr std::size_t maxDebugBlock = 1u << 30;
constexpr std::uint16_t oldestReadableVersion = 500;
constexpr std::uint16_t firstVersionWithFlags = 6000;
constexpr double unixEpochInDays = 25569.0; // 1 January 1970 counted from 30 December 1899

std::uint16_t NormalisedVersion(std::uint16_t stored) {
    return stored >= 600 && stored <= 602 ? static_cast<std::uint16_t>(6000 + stored - 600)
                                          : stored;
}

} // namespace

std::vector<std::uint8_t> EncodeSubsystemData(const SubsystemData& data) {
    ByteWriter out;
    out.U32(data.magic);
    out.U16(data.version);
    out.F64(data.compilationTime);
    out.U8(data.flags[0]);
    out.U8(data.flags[1]);

    out.U32(static_cast<std::uint32_t>(data.symbols.size() * symbolRecordSize));
    for (const SymbolRecord& symbol : data.symbols) {
        out.U8(symbol.number);
        out.U32(symbol.offset);
        out.U32(symbol.extra);
    }

    const std::vector<std::uint8_t> options =
        data.optionsStream.empty() ? std::vector<std::uint8_t>{} : ZlibCompress(data.optionsStream);
    out.U32(static_cast<std::uint32_t>(options.size()));
    out.Raw(options);

    out.Raw(data.checkValue);

    ByteWriter debug;
    debug.U32(static_cast<std::uint32_t>(data.debugInformation.size()));
    debug.Raw(data.debugInformation);
    out.Raw(ZlibCompress(debug.Bytes()));
    return out.Take();
}

SubsystemData DecodeSubsystemData(std::span<const std::uint8_t> bytes, DebugBlock debugBlock) {
    ByteReader in(bytes);
    SubsystemData data;
    data.magic = in.U32("magic");
    if (data.magic != subsystemDataMagic && data.magic != subsystemDataMagicAlternative) {
        throw DebugDataError("not subsystem data: magic 0x" + Hex(data.magic, 8));
    }
    data.version = NormalisedVersion(in.U16("version"));
    if (data.version > subsystemDataVersion) {
        throw DebugDataError("subsystem data version " + std::to_string(data.version) +
                             " is newer than " + std::to_string(subsystemDataVersion));
    }
    if (data.version < oldestReadableVersion) {
        throw DebugDataError("subsystem data version " + std::to_string(data.version) +
                             " is older than " + std::to_string(oldestReadableVersion));
    }
    data.compilationTime = in.F64("compilation time");
    if (data.version >= firstVersionWithFlags) {
        data.flags[0] = in.U8("flags");
        data.flags[1] = in.U8("flags");
    }

    const std::uint32_t symbolBytes = in.U32("symbol table length");
    if (symbolBytes % symbolRecordSize != 0) {
        throw DebugDataError("symbol table length " + std::to_string(symbolBytes) +
                             " is not a whole number of records");
    }
    ByteReader symbols(in.Bytes(symbolBytes, "symbol table"));
    while (!symbols.AtEnd()) {
        SymbolRecord record;
        record.number = symbols.U8("symbol number");
        record.offset = symbols.U32("symbol offset");
        record.extra = symbols.U32("symbol value");
        data.symbols.push_back(record);
    }

    const std::uint32_t optionsBytes = in.U32("options block length");
    const auto options = in.Bytes(optionsBytes, "options block");
    if (!options.empty()) {
        data.optionsStream = ZlibDecompress(options, maxOptionsStream);
    }

    const auto check = in.Bytes(4, "check value");
    std::copy(check.begin(), check.end(), data.checkValue.begin());
    if (debugBlock == DebugBlock::leave) {
        return data;
    }

    data.debugInformation =
        ZlibDecompressCounted(in.Bytes(in.Remaining(), "debug block"), maxDebugBlock);
    return data;
}

std::array<std::uint8_t, 4> MakeCheckValue(std::uint32_t magic, std::string_view password) {
    ByteWriter plain;
    plain.U32(magic);
    const std::vector<std::uint8_t> sealed = NameCipher(password).Encrypt(plain.Bytes());
    return {sealed[0], sealed[1], sealed[2], sealed[3]};
}

bool PasswordMatches(const SubsystemData& data, std::string_view password) {
    return data.checkValue == MakeCheckValue(data.magic, password);
}

double CompilationTimeFromUnix(std::int64_t seconds) {
    return unixEpochInDays + static_cast<double>(seconds) / 86400.0;
}

std::optional<std::int64_t> UnixFromCompilationTime(double days) {
    if (days == 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(std::llround((days - unixEpochInDays) * 86400.0));
}

} // namespace faulttrap
