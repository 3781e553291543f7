#pragma once

#include <cstdint>
#include <string>

namespace faulttrap {

// Where a code address comes from in the source.
struct SourcePlace {
    std::string unit; // source file name without folder
    std::string className;
    std::string procedure;
    std::uint32_t line = 0; // 0 when unknown
    std::uint32_t lineOffset = 0;
};

} // namespace faulttrap
