#include "disasm/cpu_section.h"

#include "disasm/guarded_memory.h"
#include "disasm/operand_text.h"

#include <array>
#include <cstring>

namespace faulttrap {

namespace {

constexpr unsigned kWordDigits = 16;
constexpr std::size_t kDumpLines = 16;
constexpr std::size_t kDumpBytesPerLine = 16;
constexpr std::size_t kStackWord = 8;
const std::string kCrLf = "\r\n";

std::string RegisterValue(const std::optional<TCpuRegisters>& registers,
                          std::uint64_t TCpuRegisters::*which) {
    if (!registers)
        return "????" + std::string(kWordDigits - 4, ' ');
    return HexDigits((*registers).*which, kWordDigits);
}

std::string RegisterLines(const std::optional<TCpuRegisters>& registers) {
    using R = TCpuRegisters;
    struct TPair {
        const char* Left;
        std::uint64_t R::*LeftValue;
        const char* Right;
        std::uint64_t R::*RightValue;
    };
    static constexpr std::array<TPair, 8> kPairs = {{
        {"RAX", &R::Rax, "RDI", &R::Rdi},
        {"RBX", &R::Rbx, "RSI", &R::Rsi},
        {"RCX", &R::Rcx, "RSP", &R::Rsp},
        {"RDX", &R::Rdx, "RIP", &R::Rip},
        {"R8 ", &R::R8, "R12", &R::R12},
        {"R9 ", &R::R9, "R13", &R::R13},
        {"R10", &R::R10, "R14", &R::R14},
        {"R11", &R::R11, "R15", &R::R15},
    }};
    std::string lines;
    for (const TPair& pair : kPairs)
        lines += std::string(pair.Left) + ": " + RegisterValue(registers, pair.LeftValue) + "   " +
                 pair.Right + ": " + RegisterValue(registers, pair.RightValue) + kCrLf;
    return lines;
}

// One dump line; what cannot be read is shown as "?" and ".".
std::string DumpLine(std::uint64_t stackAddress, std::uint64_t memoryAddress) {
    std::array<std::uint8_t, kStackWord> word;
    std::string line = HexDigits(stackAddress, kWordDigits) + ": ";
    if (ReadMemory(stackAddress, word) == word.size()) {
        std::uint64_t value = 0;
        std::memcpy(&value, word.data(), word.size());
        line += HexDigits(value, kWordDigits);
    } else {
        line += std::string(kWordDigits, '?');
    }
    line += "   " + HexDigits(memoryAddress, kWordDigits) + ": ";
    std::array<std::uint8_t, kDumpBytesPerLine> bytes;
    const std::size_t got = ReadMemory(memoryAddress, bytes);
    std::string characters;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        line += i < got ? HexDigits(bytes[i], 2) + " " : "?? ";
        characters +=
            i < got && bytes[i] >= 32 && bytes[i] <= 126 ? static_cast<char>(bytes[i]) : '.';
    }
    return line + " " + characters + kCrLf;
}

std::string DumpLines(const TCpuSnapshot& snapshot) {
    // Either half alone still helps: a jump to a bad address leaves the stack worth showing.
    if (!IsReadable(snapshot.StackPointer, kStackWord) && !IsReadable(snapshot.ExceptionAddress, 1))
        return {};
    std::string lines;
    for (std::size_t k = 0; k < kDumpLines; ++k)
        lines += DumpLine(snapshot.StackPointer + kStackWord * k,
                          snapshot.ExceptionAddress + kDumpBytesPerLine * k);
    return lines;
}

} // namespace

TCpuRegisters RegistersOf(const ucontext_t& context) {
    const greg_t* gregs = context.uc_mcontext.gregs;
    const auto value = [gregs](int index) { return static_cast<std::uint64_t>(gregs[index]); };
    TCpuRegisters registers;
    registers.Rax = value(REG_RAX);
    registers.Rbx = value(REG_RBX);
    registers.Rcx = value(REG_RCX);
    registers.Rdx = value(REG_RDX);
    registers.Rsi = value(REG_RSI);
    registers.Rdi = value(REG_RDI);
    registers.Rbp = value(REG_RBP);
    registers.Rsp = value(REG_RSP);
    registers.Rip = value(REG_RIP);
    registers.R8 = value(REG_R8);
    registers.R9 = value(REG_R9);
    registers.R10 = value(REG_R10);
    registers.R11 = value(REG_R11);
    registers.R12 = value(REG_R12);
    registers.R13 = value(REG_R13);
    registers.R14 = value(REG_R14);
    registers.R15 = value(REG_R15);
    return registers;
}

std::string CpuSection(const TCpuSectionTexts& texts, const TCpuSnapshot& snapshot, bool collect) {
    if (!collect)
        return texts.Registers + ":" + kCrLf + std::string(texts.Registers.size() + 1, '-') +
               kCrLf + kCrLf;
    // "RAX: " value "   RDI: " value
    const std::size_t registerWidth = 2 * (5 + kWordDigits) + 3;
    // address ": " word, three blanks, address ": " 16 bytes, a blank, 16 characters
    const std::size_t stackWidth = 2 * kWordDigits + 2;
    const std::size_t memoryWidth = kWordDigits + 2 + 3 * kDumpBytesPerLine + 1 + kDumpBytesPerLine;

    std::string stackHeading = texts.Stack + ":";
    stackHeading.resize(std::max(stackHeading.size(), stackWidth + 3), ' ');
    return texts.Registers + ":" + kCrLf + std::string(registerWidth, '-') + kCrLf +
           RegisterLines(snapshot.Registers) + kCrLf + stackHeading + texts.MemoryDump + ":" +
           kCrLf + std::string(stackWidth, '-') + "   " + std::string(memoryWidth, '-') + kCrLf +
           DumpLines(snapshot);
}

} // namespace faulttrap
