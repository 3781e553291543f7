#include "crashreport/disasm/report_notation.h"

#include "crashreport/disasm/operand_text.h"

#include <array>
#include <string>
#include <string_view>

namespace faulttrap {

namespace {

// The Intel formatter's own printers, to which the hooks hand what they do not change.
struct TIntelPrinters {
    ZydisFormatterFunc Mnemonic;
    ZydisFormatterFunc Prefixes;
    ZydisFormatterRegisterFunc Register;
    ZydisFormatterFunc RegisterOperand;
};

const TIntelPrinters& IntelPrinters() {
    static const TIntelPrinters printers = [] {
        ZydisFormatter intel;
        ZydisFormatterInit(&intel, ZYDIS_FORMATTER_STYLE_INTEL);
        return TIntelPrinters{intel.func_print_mnemonic, intel.func_print_prefixes,
                              intel.func_print_register, intel.func_format_operand_reg};
    }();
    return printers;
}

constexpr unsigned kMnemonicColumn = 7; // the operand delimiter's blank makes it 8

const TNotationContext& Notation(const ZydisFormatterContext* context) {
    return *static_cast<const TNotationContext*>(context->user_data);
}

ZyanStatus Append(ZydisFormatterBuffer* buffer, ZydisTokenType token, std::string_view text) {
    ZYAN_CHECK(ZydisFormatterBufferAppend(buffer, token));
    ZyanString* string = nullptr;
    ZYAN_CHECK(ZydisFormatterBufferGetString(buffer, &string));
    ZyanStringView view;
    ZYAN_CHECK(ZyanStringViewInsideBufferEx(&view, text.data(), text.size()));
    return ZyanStringAppend(string, &view);
}

void Name(TOperandNamer namer, const TNotationContext& notation, std::uint64_t operandAddress,
          std::uint64_t value, unsigned size, std::string& text) {
    if (namer != nullptr) {
        namer(notation.Callbacks->UserData, operandAddress, value, size, text);
    }
}

std::uint64_t AddressMask(const TNotationContext& notation) {
    return notation.Mode == TMachineMode::Bits32 ? 0xFFFFFFFFu : ~std::uint64_t{0};
}

// The length of the text written so far, 0 before the first token.
ZyanUSize TextSize(ZydisFormatterBuffer* buffer) {
    ZyanString* string = nullptr;
    ZyanUSize size = 0;
    if (ZYAN_SUCCESS(ZydisFormatterBufferGetString(buffer, &string))) {
        ZyanStringGetSize(string, &size);
    }
    return size;
}

// Pads the text with blanks to `column` characters.
ZyanStatus PadTo(ZydisFormatterBuffer* buffer, ZyanUSize column) {
    const ZyanUSize size = TextSize(buffer);
    if (size >= column) {
        return ZYAN_STATUS_SUCCESS;
    }
    ZyanString* string = nullptr;
    ZYAN_CHECK(ZydisFormatterBufferGetString(buffer, &string));
    const std::string blanks(column - size, ' ');
    ZyanStringView view;
    ZYAN_CHECK(ZyanStringViewInsideBufferEx(&view, blanks.data(), blanks.size()));
    return ZyanStringAppend(string, &view);
}

// Mnemonic, padded so that its operands start 8 characters after it.
ZyanStatus PrintMnemonic(const ZydisFormatter* formatter, ZydisFormatterBuffer* buffer,
                         ZydisFormatterContext* context) {
    const ZyanUSize start = TextSize(buffer);
    ZYAN_CHECK(IntelPrinters().Mnemonic(formatter, buffer, context));
    return PadTo(buffer, start + kMnemonicColumn);
}

// A prefix ("lock", "rep") stands in the mnemonic column and the instruction it modifies in the
// operand column, as the template of a prefix byte writes it; several take 8 columns each.
ZyanStatus PrintPrefixes(const ZydisFormatter* formatter, ZydisFormatterBuffer* buffer,
                         ZydisFormatterContext* context) {
    ZYAN_CHECK(IntelPrinters().Prefixes(formatter, buffer, context));
    const ZyanUSize size = TextSize(buffer);
    return size == 0 ? ZYAN_STATUS_SUCCESS : PadTo(buffer, (size + 7) / 8 * 8);
}

// Control, debug and MMX registers keep the short upper-case names of the report.
ZyanStatus PrintRegister(const ZydisFormatter* formatter, ZydisFormatterBuffer* buffer,
                         ZydisFormatterContext* context, ZydisRegister reg) {
    if (reg >= ZYDIS_REGISTER_CR0 && reg <= ZYDIS_REGISTER_CR15) {
        return Append(buffer, ZYDIS_TOKEN_REGISTER, "C" + std::to_string(reg - ZYDIS_REGISTER_CR0));
    }
    if (reg >= ZYDIS_REGISTER_DR0 && reg <= ZYDIS_REGISTER_DR15) {
        return Append(buffer, ZYDIS_TOKEN_REGISTER, "D" + std::to_string(reg - ZYDIS_REGISTER_DR0));
    }
    if (reg >= ZYDIS_REGISTER_MM0 && reg <= ZYDIS_REGISTER_MM7) {
        return Append(buffer, ZYDIS_TOKEN_REGISTER,
                      "MM" + std::to_string(reg - ZYDIS_REGISTER_MM0));
    }
    return IntelPrinters().Register(formatter, buffer, context, reg);
}

// A segment, control or debug register number that does not exist is "???"; the register that
// the multi-byte NOP encodes means nothing and is left out.
ZyanStatus FormatRegisterOperand(const ZydisFormatter* formatter, ZydisFormatterBuffer* buffer,
                                 ZydisFormatterContext* context) {
    if (context->instruction->mnemonic == ZYDIS_MNEMONIC_NOP &&
        context->operand->encoding == ZYDIS_OPERAND_ENCODING_MODRM_REG) {
        return ZYDIS_STATUS_SKIP_TOKEN;
    }
    if (Notation(context).UnfitRegisterOperand &&
        context->operand->encoding == ZYDIS_OPERAND_ENCODING_MODRM_REG) {
        return Append(buffer, ZYDIS_TOKEN_REGISTER, "???");
    }
    return IntelPrinters().RegisterOperand(formatter, buffer, context);
}

bool IsArithmetic(ZydisMnemonic mnemonic) {
    switch (mnemonic) {
    case ZYDIS_MNEMONIC_ADD:
    case ZYDIS_MNEMONIC_OR:
    case ZYDIS_MNEMONIC_ADC:
    case ZYDIS_MNEMONIC_SBB:
    case ZYDIS_MNEMONIC_AND:
    case ZYDIS_MNEMONIC_SUB:
    case ZYDIS_MNEMONIC_XOR:
    case ZYDIS_MNEMONIC_CMP:
        return true;
    default:
        return false;
    }
}

bool ExtendsImmediateSign(ZydisMnemonic mnemonic) {
    return mnemonic == ZYDIS_MNEMONIC_PUSH || mnemonic == ZYDIS_MNEMONIC_IMUL ||
           mnemonic == ZYDIS_MNEMONIC_MOV || mnemonic == ZYDIS_MNEMONIC_TEST;
}

// The immediates of the arithmetic group are written signed, like every immediate that the
// processor sign-extends to a wider operand; all others are plain hexadecimal.
bool IsSignedForm(const ZydisDecodedInstruction& instruction, unsigned bytes) {
    return IsArithmetic(instruction.mnemonic) ||
           (ExtendsImmediateSign(instruction.mnemonic) && bytes * 8 < instruction.operand_width);
}

std::int64_t SignExtend(std::uint64_t value, unsigned bytes) {
    if (bytes >= 8) {
        return static_cast<std::int64_t>(value);
    }
    const unsigned shift = 64 - 8 * bytes;
    return static_cast<std::int64_t>(value << shift) >> shift;
}

std::uint64_t OperandWidthMask(const ZydisDecodedInstruction& instruction) {
    return instruction.operand_width >= 64 ? ~std::uint64_t{0}
                                           : (std::uint64_t{1} << instruction.operand_width) - 1;
}

// Which of the instruction's (at most two) encoded immediates an operand is.
unsigned ImmediateIndex(const ZydisFormatterContext* context) {
    unsigned index = 0;
    for (const ZydisDecodedOperand* operand = context->operands; operand != context->operand;
         ++operand) {
        if (operand->type == ZYDIS_OPERAND_TYPE_IMMEDIATE) {
            ++index;
        }
    }
    return index < 2 ? index : 1;
}

ZyanStatus FormatImmediate(const ZydisFormatter*, ZydisFormatterBuffer* buffer,
                           ZydisFormatterContext* context) {
    const TNotationContext& notation = Notation(context);
    const ZydisDecodedInstruction& instruction = *context->instruction;
    const ZydisDecodedOperand& operand = *context->operand;
    const auto& raw = instruction.raw.imm[ImmediateIndex(context)];
    const std::uint64_t operandAddress = context->runtime_address + raw.offset;
    // An implied immediate ("shl eax, 1") has no encoded bytes; it is written as one byte.
    const unsigned bytes =
        raw.size != 0 ? raw.size / 8 : (operand.size != 0 ? operand.size / 8 : 1);

    std::string text;
    if (operand.imm.is_relative) {
        const std::int64_t offset = operand.imm.value.s;
        const std::uint64_t target =
            (context->runtime_address + instruction.length + static_cast<std::uint64_t>(offset)) &
            AddressMask(notation);
        text = SignedImmediateText(offset, bytes);
        const bool isCall = instruction.meta.category == ZYDIS_CATEGORY_CALL;
        Name(isCall ? notation.Callbacks->CallTarget : notation.Callbacks->JumpTarget, notation,
             operandAddress, target, bytes, text);
    } else {
        const std::uint64_t value = operand.imm.value.u;
        text = IsSignedForm(instruction, bytes)
                   ? SignedImmediateText(SignExtend(value, bytes), bytes)
                   : UnsignedImmediateText(value, bytes);
        Name(notation.Callbacks->Immediate, notation, operandAddress,
             value & OperandWidthMask(instruction), bytes, text);
    }
    return Append(buffer, ZYDIS_TOKEN_IMMEDIATE, text);
}

// A far pointer: "$" segment ":" "$" offset.
ZyanStatus FormatPointer(const ZydisFormatter*, ZydisFormatterBuffer* buffer,
                         ZydisFormatterContext* context) {
    const auto& pointer = context->operand->ptr;
    const unsigned offsetBytes = context->instruction->raw.imm[0].size / 8;
    return Append(buffer, ZYDIS_TOKEN_IMMEDIATE,
                  UnsignedImmediateText(pointer.segment, 2) + ":" +
                      UnsignedImmediateText(pointer.offset, offsetBytes != 0 ? offsetBytes : 4));
}

std::string_view SizeWord(unsigned bits) {
    switch (bits) {
    case 8:
        return "byte ptr ";
    case 16:
        return "word ptr ";
    case 32:
        return "dword ptr ";
    case 64:
        return "qword ptr ";
    case 80:
        return "tbyte ptr ";
    case 128:
        return "xmmword ptr ";
    case 256:
        return "ymmword ptr ";
    case 512:
        return "zmmword ptr ";
    default: // 6-byte far pointers and descriptor tables, and structures, have no size word
        return "";
    }
}

std::string RegisterName(ZydisRegister reg) {
    return ZydisRegisterGetString(reg);
}

bool HasSegmentOverride(const ZydisDecodedInstruction& instruction) {
    return (instruction.attributes & ZYDIS_ATTRIB_HAS_SEGMENT) != 0;
}

// A direct address: as wide as the addressing, or pointer-wide for RIP-relative operands.
std::string DirectAddressText(const TNotationContext& notation,
                              const ZydisDecodedInstruction& instruction, std::uint64_t address,
                              bool ripRelative) {
    unsigned digits = 8;
    if (instruction.address_width == 16) {
        digits = 4;
    } else if (notation.Mode == TMachineMode::Bits64 &&
               (ripRelative || instruction.raw.disp.size == 64 || address > 0xFFFFFFFFu)) {
        digits = 16;
    }
    return "[$" + HexDigits(address, digits) + "]";
}

std::string RegisterAddressText(const ZydisDecodedOperand& operand,
                                const ZydisDecodedInstruction& instruction) {
    const auto& mem = operand.mem;
    std::string text = "[";
    if (mem.base != ZYDIS_REGISTER_NONE) {
        text += RegisterName(mem.base);
    }
    if (mem.index != ZYDIS_REGISTER_NONE) {
        if (mem.base != ZYDIS_REGISTER_NONE) {
            text += "+";
        }
        text += RegisterName(mem.index);
        if (mem.scale > 1) {
            text += "*" + std::to_string(mem.scale);
        }
    }
    if (mem.disp.has_displacement) {
        const std::int64_t disp = mem.disp.value;
        text += instruction.raw.disp.size == 8 ? SignedImmediateText(disp, 1)
                                               : WideDisplacementText(disp);
    }
    return text + "]";
}

ZyanStatus FormatMemory(const ZydisFormatter*, ZydisFormatterBuffer* buffer,
                        ZydisFormatterContext* context) {
    const TNotationContext& notation = Notation(context);
    const ZydisDecodedInstruction& instruction = *context->instruction;
    const ZydisDecodedOperand& operand = *context->operand;
    const auto& mem = operand.mem;
    if (notation.UnfitMemoryOperand && operand.encoding == ZYDIS_OPERAND_ENCODING_MODRM_RM) {
        return Append(buffer, ZYDIS_TOKEN_ADDRESS_ABS, "???");
    }
    const bool accessesMemory =
        mem.type == ZYDIS_MEMOP_TYPE_MEM || mem.type == ZYDIS_MEMOP_TYPE_VSIB;

    std::string text;
    if (accessesMemory) {
        text += SizeWord(operand.size);
    }
    const bool segmentOverride = HasSegmentOverride(instruction);
    if (segmentOverride) {
        text += RegisterName(mem.segment) + ":";
    }

    const bool ripRelative = mem.base == ZYDIS_REGISTER_RIP || mem.base == ZYDIS_REGISTER_EIP;
    const bool direct = mem.index == ZYDIS_REGISTER_NONE &&
                        (mem.base == ZYDIS_REGISTER_NONE || ripRelative) &&
                        mem.disp.has_displacement;
    std::uint64_t value = static_cast<std::uint64_t>(mem.disp.value);
    if (ripRelative) {
        value = (context->runtime_address + instruction.length + value) & AddressMask(notation);
    } else if (direct && instruction.address_width < 64) {
        value &= (std::uint64_t{1} << instruction.address_width) - 1;
    }
    text += direct ? DirectAddressText(notation, instruction, value, ripRelative)
                   : RegisterAddressText(operand, instruction);

    const std::uint64_t operandAddress = context->runtime_address + instruction.raw.disp.offset;
    const unsigned size = accessesMemory ? operand.size / 8 : 0;
    if (segmentOverride) {
        Name(notation.Callbacks->SegmentAddress, notation, operandAddress, value, size, text);
    } else if (direct) {
        Name(notation.Callbacks->MemoryAddress, notation, operandAddress, value, size, text);
    }
    return Append(buffer, ZYDIS_TOKEN_ADDRESS_ABS, text);
}

template <typename Function>
void Hook(ZydisFormatter& formatter, ZydisFormatterFunction type, Function hook) {
    const void* function = reinterpret_cast<const void*>(hook);
    ZydisFormatterSetHook(&formatter, type, &function);
}

} // namespace

void InstallReportNotation(ZydisFormatter& formatter) {
    Hook<ZydisFormatterFunc>(formatter, ZYDIS_FORMATTER_FUNC_PRINT_MNEMONIC, PrintMnemonic);
    Hook<ZydisFormatterFunc>(formatter, ZYDIS_FORMATTER_FUNC_PRINT_PREFIXES, PrintPrefixes);
    Hook<ZydisFormatterFunc>(formatter, ZYDIS_FORMATTER_FUNC_FORMAT_OPERAND_REG,
                             FormatRegisterOperand);
    Hook<ZydisFormatterRegisterFunc>(formatter, ZYDIS_FORMATTER_FUNC_PRINT_REGISTER, PrintRegister);
    Hook<ZydisFormatterFunc>(formatter, ZYDIS_FORMATTER_FUNC_FORMAT_OPERAND_IMM, FormatImmediate);
    Hook<ZydisFormatterFunc>(formatter, ZYDIS_FORMATTER_FUNC_FORMAT_OPERAND_PTR, FormatPointer);
    Hook<ZydisFormatterFunc>(formatter, ZYDIS_FORMATTER_FUNC_FORMAT_OPERAND_MEM, FormatMemory);
}

} // namespace faulttrap
