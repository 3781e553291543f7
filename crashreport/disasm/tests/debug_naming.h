#pragma once

#include "crashreport/disasm/code_naming.h"

#include <elfutils/libdwfl.h>

// Names code of this test program from its dynamic symbols (the program exports them) and its
// DWARF line tables.
class TDebugNaming : public faulttrap::TCodeNaming {
public:
    TDebugNaming();
    ~TDebugNaming() override;
    TDebugNaming(const TDebugNaming&) = delete;
    TDebugNaming& operator=(const TDebugNaming&) = delete;

    std::optional<faulttrap::TSourcePlace> SourcePlace(std::uint64_t address) const override;
    std::string ObjectClassName(std::uint64_t address) const override;

private:
    Dwfl* dwfl_;
};
