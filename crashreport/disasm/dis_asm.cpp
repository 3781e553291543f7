#include "disasm/dis_asm.h"

#include "disasm/operand_text.h"
#include "disasm/report_notation.h"

#include <array>

namespace faulttrap {

namespace {

std::string InvalidByteText(std::uint8_t byte) {
    return "DB      " + UnsignedImmediateText(byte, 1) + "  //";
}

void TrimTrailingBlanks(std::string& text) {
    const std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
}

} // namespace

TDisAsm::TDisAsm(TMachineMode mode, TNamingCallbacks callbacks)
    : mode_(mode), callbacks_(callbacks) {
    if (mode == TMachineMode::Bits64)
        ZydisDecoderInit(&decoder_, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
    else
        ZydisDecoderInit(&decoder_, ZYDIS_MACHINE_MODE_LEGACY_32, ZYDIS_STACK_WIDTH_32);
    ZydisFormatterInit(&formatter_, ZYDIS_FORMATTER_STYLE_INTEL);
    InstallReportNotation(formatter_);
}

TDecodedInstruction TDisAsm::Decode(std::span<const std::uint8_t> bytes,
                                    std::uint64_t address) const {
    TDecodedInstruction result;
    if (bytes.empty())
        return result;
    ZydisDecodedInstruction instruction;
    std::array<ZydisDecodedOperand, ZYDIS_MAX_OPERAND_COUNT> operands;
    if (!ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder_, bytes.data(), bytes.size(), &instruction,
                                             operands.data()))) {
        result.Text = InvalidByteText(bytes[0]);
        return result;
    }
    TNotationContext notation{&callbacks_, mode_};
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
    if (bytes.empty() || !ZYAN_SUCCESS(ZydisDecoderDecodeInstruction(
                             &decoder_, nullptr, bytes.data(), bytes.size(), &instruction)))
        return shape;
    shape.Length = instruction.length;
    shape.Valid = true;
    shape.IsReturn = instruction.meta.category == ZYDIS_CATEGORY_RET;
    return shape;
}

} // namespace faulttrap
