#pragma once

#include <ucontext.h>

#include <cstdint>
#include <optional>
#include <string>

namespace faulttrap {

// The general registers of a saved x86-64 processor context.
struct TCpuRegisters {
    std::uint64_t Rax = 0, Rbx = 0, Rcx = 0, Rdx = 0, Rsi = 0, Rdi = 0, Rbp = 0, Rsp = 0, Rip = 0;
    std::uint64_t R8 = 0, R9 = 0, R10 = 0, R11 = 0, R12 = 0, R13 = 0, R14 = 0, R15 = 0;
};

TCpuRegisters RegistersOf(const ucontext_t& context);

// What the CPU section shows: the registers when a context was saved, and the stack and the code
// at the exception.
struct TCpuSnapshot {
    std::optional<TCpuRegisters> Registers;
    std::uint64_t StackPointer = 0;
    std::uint64_t ExceptionAddress = 0;
};

// The section's three customised headings.
struct TCpuSectionTexts {
    std::string Registers = "Registers";
    std::string Stack = "Stack";
    std::string MemoryDump = "Memory Dump";
};

// The CPU section: the registers ("????" without a context), then 16 lines pairing the stack
// words from the stack pointer with the bytes from the exception address. Without `collect`, the
// registers heading and its rule alone. Every line ends with CR LF.
std::string CpuSection(const TCpuSectionTexts& texts, const TCpuSnapshot& snapshot, bool collect);

} // namespace faulttrap
