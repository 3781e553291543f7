#pragma once

#include "crashreport/disasm/dis_asm.h"

#include <Zydis/Zydis.h>

namespace faulttrap {

// What the formatter hooks need while one instruction is formatted; passed as Zydis user data.
struct TNotationContext {
    const TNamingCallbacks* Callbacks = nullptr;
    TMachineMode Mode = NativeMachineMode();
    // The instruction was encoded with a ModRM operand its opcode does not allow (a register
    // where only memory fits, or a segment, control or debug register number that does not
    // exist); that operand is written "???".
    bool UnfitMemoryOperand = false;
    bool UnfitRegisterOperand = false;
};

// Replaces the Intel-style formatter's operand and mnemonic printers by the report's notation.
// Formatting must then be given a TNotationContext as user data.
void InstallReportNotation(ZydisFormatter& formatter);

} // namespace faulttrap
