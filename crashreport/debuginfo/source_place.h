#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace faulttrap {

// Where a code address comes from in the source.
struct SourcePlace {
    std::string unit; // source file name without folder
    std::string className;
    std::string procedure;
    std::uint32_t line = 0; // 0 when unknown
    std::uint32_t lineOffset = 0;
};

// The same, naming text that belongs to whoever answered the lookup (and lives as long).
struct SourcePlaceView {
    std::string_view unit;
    std::string_view className;
    std::string_view procedure;
    std::uint32_t line = 0;
    std::uint32_t lineOffset = 0;

    bool operator==(const SourcePlaceView&) const = default;
};

} // namespace faulttrap
