#pragma once

#include <Zydis/Zydis.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace faulttrap {

enum class TMachineMode { Bits32, Bits64 };

// The mode of the code this program runs.
constexpr TMachineMode NativeMachineMode() {
    return sizeof(void*) == 8 ? TMachineMode::Bits64 : TMachineMode::Bits32;
}

// Gives a name to an operand. `operandAddress` is where the operand's bytes were read in the code,
// `value` the target, address or immediate value, `size` the operand's size in bytes (the encoded
// size for immediates and branch offsets, the accessed size for memory operands, 0 for a memory
// operand whose address is only computed, as by lea). The callback may replace `text`.
using TOperandNamer = void (*)(void* userData, std::uint64_t operandAddress, std::uint64_t value,
                               unsigned size, std::string& text);

struct TNamingCallbacks {
    TOperandNamer JumpTarget = nullptr;     // targets of relative jumps
    TOperandNamer CallTarget = nullptr;     // targets of relative calls
    TOperandNamer MemoryAddress = nullptr;  // direct and RIP-relative memory addresses
    TOperandNamer SegmentAddress = nullptr; // memory operands with a segment override
    TOperandNamer Immediate = nullptr;      // immediate operands
    void* UserData = nullptr;
};

struct TDecodedInstruction {
    std::string Text;
    std::size_t Length = 1; // bytes taken, 1 for a byte that starts no valid instruction
    bool Valid = false;
    bool IsReturn = false;
};

// The length of one instruction and whether it returns, without its text.
struct TInstructionShape {
    std::size_t Length = 1;
    bool Valid = false;
    bool IsReturn = false;
};

struct TNotationContext;

// Decodes x86 machine code one instruction at a time and writes it in the report's notation:
// lower-case mnemonic padded to 8 characters, "$" hexadecimal immediates with two digits per
// byte, "+$"/"-$" for signed values, "byte ptr " ... size words, and "DB      $xx  //" for a byte
// that starts no valid instruction.
class TDisAsm {
public:
    explicit TDisAsm(TMachineMode mode = NativeMachineMode(), TNamingCallbacks callbacks = {});

    // Decodes the instruction at the start of `bytes`, which lie at `address` in the code.
    TDecodedInstruction Decode(std::span<const std::uint8_t> bytes, std::uint64_t address) const;

    TInstructionShape Shape(std::span<const std::uint8_t> bytes) const;

    TMachineMode Mode() const { return mode_; }

private:
    // An instruction whose ModRM operand does not fit its opcode, decoded with that operand
    // marked for "???"; false when the bytes are no such instruction.
    bool DecodeWithUnfitOperand(std::span<const std::uint8_t> bytes,
                                ZydisDecodedInstruction& instruction, ZydisDecodedOperand* operands,
                                TNotationContext& notation) const;

    TMachineMode mode_;
    TNamingCallbacks callbacks_;
    ZydisDecoder decoder_;
    ZydisFormatter formatter_;
};

} // namespace faulttrap
