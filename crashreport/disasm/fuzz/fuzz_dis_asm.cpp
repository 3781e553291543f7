// Feeds arbitrary bytes to the disassembler in both modes, with naming callbacks that put in long
// names, and checks that every instruction takes at least one byte and never more than it has.

#include "crashreport/disasm/dis_asm.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

namespace {

[[noreturn]] void Fail(const char* reason) {
    std::fprintf(stderr, "fuzz_dis_asm: %s\n", reason);
    std::abort();
}

void LongName(void*, std::uint64_t, std::uint64_t, unsigned, std::string& text) {
    text = std::string(300, 'N') + text;
}

void DecodeAll(faulttrap::TMachineMode mode, std::span<const std::uint8_t> code) {
    const faulttrap::TNamingCallbacks callbacks{LongName, LongName, LongName,
                                                LongName, LongName, nullptr};
    const faulttrap::TDisAsm disasm(mode, callbacks);
    for (std::size_t at = 0; at < code.size();) {
        const faulttrap::TDecodedInstruction instruction =
            disasm.Decode(code.subspan(at), 0x7FFFFFFFFFF0 + at);
        if (instruction.Length == 0 || instruction.Length > code.size() - at) {
            Fail("instruction length outside the code");
        }
        if (instruction.Text.empty()) {
            Fail("instruction without text");
        }
        if (!instruction.Valid && instruction.Length != 1) {
            Fail("an invalid byte takes more than one byte");
        }
        at += instruction.Length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeAll(faulttrap::TMachineMode::Bits32, {data, size});
    DecodeAll(faulttrap::TMachineMode::Bits64, {data, size});
    return 0;
}
