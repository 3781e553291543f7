#include "crashreport/disasm/dis_asm.h"

#include "crashreport/disasm/operand_text.h"
#include "crashreport/disasm/report_notation.h"

#include <array>
#include <optional>
#include <vector>

namespace faulttrap {

namespace {

std::string InvalidByteText(std::uint8_t byte) {
    return "DB      " + UnsignedImmediateText(byte, 1) + "  //";
}

bool IsLegacyPrefix(std::uint8_t byte, TMachineMode mode) {
    switch (byte) {
    case 0xF0:
    case 0xF2:
    case 0xF3:
    case 0x2E:
    case 0x36:
    case 0x3E:
    case 0x26:
    case 0x64:
    case 0x65:
    case 0x66:
    case 0x67:
        return true;
    default:
        return mode == TMachineMode::Bits64 && (byte & 0xF0) == 0x40; // REX
    }
}

// Where the ModRM byte of an instruction of the one-, two- or three-byte map would be, when it
// is one of those maps (not VEX, EVEX or XOP, whose first bytes the decoder reads on its own).
std::optional<std::size_t> ModRmPosition(std::span<const std::uint8_t> bytes, TMachineMode mode) {
    std::size_t at = 0;
    while (at < bytes.size() && IsLegacyPrefix(bytes[at], mode)) {
        ++at;
    }
    if (at >= bytes.size()) {
        return std::nullopt;
    }
    switch (bytes[at]) {
    case 0xC4:
    case 0xC5:
    case 0x62:
    case 0x8F:
        return std::nullopt;
    case 0x0F:
        ++at;
        if (at < bytes.size() && (bytes[at] == 0x38 || bytes[at] == 0x3A)) {
            ++at;
        }
        break;
    default:
        break;
    }
    ++at;
    if (at >= bytes.size()) {
        return std::nullopt;
    }
    return at;
}

bool HasRegisterOfClass(const ZydisDecodedOperand* operands, std::size_t count,
                        ZydisOperandEncoding encoding) {
    for (std::size_t i = 0; i < count; ++i) {
        if (operands[i].type != ZYDIS_OPERAND_TYPE_REGISTER || operands[i].encoding != encoding) {
            continue;
        }
        switch (ZydisRegisterGetClass(operands[i].reg.value)) {
        case ZYDIS_REGCLASS_SEGMENT:
        case ZYDIS_REGCLASS_CONTROL:
        case ZYDIS_REGCLASS_DEBUG:
            return true;
        default:
            break;
        }
    }
    return false;
}

bool HasModRmMemory(const ZydisDecodedOperand* operands, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (operands[i].type == ZYDIS_OPERAND_TYPE_MEMORY &&
            operands[i].encoding == ZYDIS_OPERAND_ENCODING_MODRM_RM) {
            return true;
        }
    }
    return false;
}

void TrimTrailingBlanks(std::string& text) {
    const std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
}

} // namespace

TDisAsm::TDisAsm(TMachineMode mode, TNamingCallbacks callbacks)
    : mode_(mode), callbacks_(callbacks) {
    if (mode == TMachineMode::Bits64) {
        ZydisDecoderInit(&decoder_, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
    } else {
        ZydisDecoderInit(&decoder_, ZYDIS_MACHINE_MODE_LEGACY_32, ZYDIS_STACK_WIDTH_32);
    }
    ZydisFormatterInit(&formatter_, ZYDIS_FORMATTER_STYLE_INTEL);
    InstallReportNotation(formatter_);
}

bool TDisAsm::DecodeWithUnfitOperand(std::span<const std::uint8_t> bytes,
                                     ZydisDecodedInstruction& instruction,
                                     ZydisDecodedOperand* operands,
                                     TNotationContext& notation) const {
    const std::optional<std::size_t> modRm = ModRmPosition(bytes, mode_);
    if (!modRm) {
        return false;
    }
    std::vector<std::uint8_t> changed(bytes.begin(), bytes.end());
    const std::uint8_t original = bytes[*modRm];
    const auto decodes = [&](std::uint8_t replacement) {
        changed[*modRm] = replacement;
        return ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder_, changed.data(), changed.size(),
                                                   &instruction, operands)) &&
               (instruction.attributes & ZYDIS_ATTRIB_HAS_MODRM) &&
               instruction.raw.modrm.offset == *modRm;
    };
    // A register where the opcode takes only memory ("lea eax, eax"): the same instruction with
    // "[eax]" (no SIB byte, no displacement: the same length) shows it with "???" there.
    if ((original >> 6) == 3 && decodes(static_cast<std::uint8_t>(original & 0x38)) &&
        HasModRmMemory(operands, instruction.operand_count_visible)) {
        notation.UnfitMemoryOperand = true;
        return true;
    }
    // A segment, control or debug register number that does not exist ("mov ???, ax").
    if (decodes(static_cast<std::uint8_t>(original & 0xC7)) &&
        HasRegisterOfClass(operands, instruction.operand_count_visible,
                           ZYDIS_OPERAND_ENCODING_MODRM_REG)) {
        notation.UnfitRegisterOperand = true;
        return true;
    }
    return false;
}

TDecodedInstruction TDisAsm::Decode(std::span<const std::uint8_t> bytes,
                                    std::uint64_t address) const {
    TDecodedInstruction result;
    if (bytes.empty()) {
        return result;
    }
    ZydisDecodedInstruction instruction;
    std::array<ZydisDecodedOperand, ZYDIS_MAX_OPERAND_COUNT> operands;
    TNotationContext notation{&callbacks_, mode_};
    if (!ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder_, bytes.data(), bytes.size(), &instruction,
                                             operands.data())) &&
        !DecodeWithUnfitOperand(bytes, instruction, operands.data(), notation)) {
        result.Text = InvalidByteText(bytes[0]);
        return result;
    }
    // Long enough for any instruction, even with names put in by the callbacks.
    std::array<char, 1024> text;
    if (!ZYAN_SUCCESS(ZydisFormatterFormatInstruction(
            &formatter_, &instruction, operands.data(), instruction.operand_count_visible,
            text.data(), text.size(), address, &notation))) {
        result.Text = InvalidByteText(bytes[0]);
        return result;
    }
    result.Text = text.data();
    // The mnemonic is padded for its operands; an instruction without operands ends with it.
    TrimTrailingBlanks(result.Text);
    result.Length = instruction.length;
    result.Valid = true;
    result.IsReturn = instruction.meta.category == ZYDIS_CATEGORY_RET;
    return result;
}

TInstructionShape TDisAsm::Shape(std::span<const std::uint8_t> bytes) const {
    TInstructionShape shape;
    ZydisDecodedInstruction instruction;
    if (bytes.empty()) {
        return shape;
    }
    if (!ZYAN_SUCCESS(ZydisDecoderDecodeInstruction(&decoder_, nullptr, bytes.data(), bytes.size(),
                                                    &instruction))) {
        std::array<ZydisDecodedOperand, ZYDIS_MAX_OPERAND_COUNT> operands;
        TNotationContext notation{&callbacks_, mode_};
        if (!DecodeWithUnfitOperand(bytes, instruction, operands.data(), notation)) {
            return shape;
        }
    }
    shape.Length = instruction.length;
    shape.Valid = true;
    shape.IsReturn = instruction.meta.category == ZYDIS_CATEGORY_RET;
    return shape;
}

} // namespace faulttrap
