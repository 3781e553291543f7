#include "crashreport/report/cpu_section.h"

#include "crashreport/report/report_text.h"
#include "crashreport/report/text_table.h"
#include "crashreport/report/value_formats.h"

#include <algorithm>
#include <cstring>

namespace faulttrap {

namespace {

constexpr std::size_t kWordSize = sizeof(std::uintptr_t);
constexpr std::size_t kDumpLines = 16;
constexpr std::size_t kDumpBytesPerLine = 16;

// Register order of ReportCpuState::registers and the pairs shown on one line.
constexpr const char* kRegisterNames[] = {"RAX", "RBX", "RCX", "RDX", "RSI", "RDI", "RSP", "RIP",
                                          "R8 ", "R9 ", "R10", "R11", "R12", "R13", "R14", "R15"};
constexpr int kRegisterPairs[][2] = {{0, 5},  {1, 4},  {2, 6},   {3, 7},
                                     {8, 12}, {9, 13}, {10, 14}, {11, 15}};

std::string RegisterValue(const ReportCpuState& cpu, int index) {
    if (!cpu.registers) {
        return PadRight("????", kAddressDigits);
    }
    return FormatAddress(
        static_cast<std::uintptr_t>((*cpu.registers)[static_cast<std::size_t>(index)]));
}

std::string DumpLine(const ReportCpuState& cpu, std::size_t k) {
    std::uintptr_t word = 0;
    std::memcpy(&word, cpu.stack.data() + k * kWordSize, kWordSize);
    std::string line = FormatAddress(cpu.stackPointer + k * kWordSize) + ": " +
                       FormatAddress(word) + "   " +
                       FormatAddress(cpu.memoryAddress + k * kDumpBytesPerLine) + ": ";
    const std::uint8_t* bytes = cpu.memory.data() + k * kDumpBytesPerLine;
    for (std::size_t i = 0; i < kDumpBytesPerLine; ++i) {
        line += Hex(bytes[i], 2) + ' ';
    }
    line += ' ';
    for (std::size_t i = 0; i < kDumpBytesPerLine; ++i) {
        line += bytes[i] < 32 || bytes[i] > 126 ? '.' : static_cast<char>(bytes[i]);
    }
    return line;
}

std::string CpuSection(const ReportCpuState& cpu, const ReportTexts& texts) {
    const std::string registerRule(5 + kAddressDigits + 3 + 5 + kAddressDigits, '-');
    std::string text =
        texts[TextId::Registers] + ':' + std::string(kCrLf) + registerRule + std::string(kCrLf);
    for (const auto& [left, right] : kRegisterPairs) {
        text += std::string(kRegisterNames[left]) + ": " + RegisterValue(cpu, left) + "   " +
                kRegisterNames[right] + ": " + RegisterValue(cpu, right) + std::string(kCrLf);
    }
    text += kCrLf;
    const std::size_t stackWidth = kAddressDigits + 2 + kAddressDigits;
    const std::size_t memoryWidth =
        kAddressDigits + 2 + kDumpBytesPerLine * 3 + 1 + kDumpBytesPerLine;
    text += PadRight(texts[TextId::CpuStack] + ':', stackWidth + 3) + texts[TextId::MemoryDump] +
            ':' + std::string(kCrLf);
    text +=
        std::string(stackWidth, '-') + "   " + std::string(memoryWidth, '-') + std::string(kCrLf);
    if (cpu.stack.size() >= kDumpLines * kWordSize &&
        cpu.memory.size() >= kDumpLines * kDumpBytesPerLine) {
        for (std::size_t k = 0; k < kDumpLines; ++k) {
            text += DumpLine(cpu, k) + std::string(kCrLf);
        }
    }
    return text;
}

} // namespace

std::string AssemblerAndCpuSections(const std::vector<std::string>& listing,
                                    const ReportCpuState& cpu, bool collect,
                                    const ReportTexts& texts) {
    if (!collect) {
        return EmptySectionHeading(texts[TextId::AssemblerInformation]) +
               EmptySectionHeading(texts[TextId::Registers]);
    }
    std::size_t ruleLength = texts[TextId::AssemblerInformation].size() + 1;
    for (const auto& line : listing) {
        ruleLength = std::max(ruleLength, line.size());
    }
    std::string text = texts[TextId::AssemblerInformation] + ':' + std::string(kCrLf) +
                       std::string(ruleLength, '-') + std::string(kCrLf);
    for (const auto& line : listing) {
        text += line + std::string(kCrLf);
    }
    text += kCrLf;
    return text + CpuSection(cpu, texts);
}

} // namespace faulttrap
