#pragma once

#include "crashreport/debuginfo/resolver.h"
#include "crashreport/disasm/code_naming.h"

namespace faulttrap {

// Names code and objects for the assembler listing with the debug information of the call
// stack: a code address by its unit, class, procedure and line, an object by its class.
class TResolverCodeNaming : public TCodeNaming {
public:
    explicit TResolverCodeNaming(AddressResolver& resolver) : resolver_(resolver) {}

    // Known when the address resolves at least to a procedure.
    std::optional<TSourcePlace> SourcePlace(std::uint64_t address) const override;

    // The class of a polymorphic object whose virtual table and type information lie in loaded
    // modules; empty for anything else.
    std::string ObjectClassName(std::uint64_t address) const override;

private:
    AddressResolver& resolver_;
};

} // namespace faulttrap
