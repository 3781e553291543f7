#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace faulttrap {

inline constexpr std::uint32_t subsystemDataMagic = 0x100FAB10;
inline constexpr std::uint32_t subsystemDataMagicAlternative = 0x000FAB10;
inline constexpr std::uint16_t subsystemDataVersion = 6006;

// A framework routine recorded by number for the hooks that need its address.
struct SymbolRecord {
    std::uint8_t number = 0;
    std::uint32_t offset = 0; // from the module's code start
    std::uint32_t extra = 0;  // kept but not used by the lookup

    bool operator==(const SymbolRecord&) const = default;
};

// The subsystem data container a program file carries, in decoded form: the options
// stream and the debug information are held decompressed. The options stream is passed
// through untouched; its own reader gives it meaning.
struct SubsystemData {
    std::uint32_t magic = subsystemDataMagic;
    std::uint16_t version = subsystemDataVersion; // 600..602 read as 6000..6002
    double compilationTime = 0;                   // UTC days since 30 Dec 1899; 0 when not stored
    std::array<std::uint8_t, 2> flags{};
    std::vector<SymbolRecord> symbols;
    std::vector<std::uint8_t> optionsStream;    // empty when no options are stored
    std::array<std::uint8_t, 4> checkValue{};   // the magic, enciphered with the password
    std::vector<std::uint8_t> debugInformation; // the compact debug information

    bool operator==(const SubsystemData&) const = default;
};

// Writes the container in the current version's layout (always with flag bytes).
std::vector<std::uint8_t> EncodeSubsystemData(const SubsystemData& data);

// Whether reading a container inflates its debug block, by far its largest part, or leaves
// it (and debugInformation empty) for a reader that wants only the header and options.
enum class DebugBlock { inflate, leave };

// Reads a container. Unknown magic, a version above subsystemDataVersion or below the
// oldest layout read here, truncation and damaged compressed blocks raise
// DebugDataError with a message saying which. A debug block that is left is not checked.
SubsystemData DecodeSubsystemData(std::span<const std::uint8_t> bytes,
                                  DebugBlock debugBlock = DebugBlock::inflate);

// The check value that proves a password: the magic's four little-endian bytes
// enciphered with it.
std::array<std::uint8_t, 4> MakeCheckValue(std::uint32_t magic, std::string_view password);
bool PasswordMatches(const SubsystemData& data, std::string_view password);

// Days since 30 December 1899 (UTC) for a Unix time, as the container stores it.
double CompilationTimeFromUnix(std::int64_t seconds);
// The Unix time of a stored compilation time, to the second; nothing when none is stored.
std::optional<std::int64_t> UnixFromCompilationTime(double days);

} // namespace faulttrap
