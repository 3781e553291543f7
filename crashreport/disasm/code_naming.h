#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace faulttrap {

// Where a code address lies in the source.
struct TSourcePlace {
    std::string Unit; // source file name without folder; the listing leaves out its extension
    std::string ClassName;
    std::string Procedure;
    int Line = 0;       // 0 when unknown
    int LineOffset = 0; // lines from the procedure's first line
};

// What the assembler listing asks about addresses; the debug information answers it.
class TCodeNaming {
public:
    virtual ~TCodeNaming() = default;

    // The source place of a code address, when it is known at least to the procedure.
    virtual std::optional<TSourcePlace> SourcePlace(std::uint64_t address) const = 0;

    // The class name of the object at `address`, empty when no valid object lies there.
    virtual std::string ObjectClassName(std::uint64_t address) const = 0;
};

} // namespace faulttrap
