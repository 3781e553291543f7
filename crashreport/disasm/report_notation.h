#pragma once

#include "disasm/dis_asm.h"

#include <Zydis/Zydis.h>

namespace faulttrap {

// What the formatter hooks need while one instruction is formatted; passed as Zydis user data.
struct TNotationContext {
    const TNamingCallbacks* Callbacks = nullptr;
    TMachineMode Mode = NativeMachineMode();
};

// Replaces the Intel-style formatter's operand and mnemonic printers by the report's notation.
// Formatting must then be given a TNotationContext as user data.
void InstallReportNotation(ZydisFormatter& formatter);

} // namespace faulttrap
