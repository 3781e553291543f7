#include "crashreport/disasm/function_size.h"

#include "crashreport/disasm/guarded_memory.h"

#include <algorithm>
#include <vector>

namespace faulttrap {

namespace {

constexpr std::size_t kChunk = 4096;
constexpr std::size_t kLongestInstruction = 15;

} // namespace

std::size_t SizeToFirstReturn(std::uint64_t address, std::uint64_t codeEnd, TMachineMode mode) {
    const TDisAsm disasm(mode);
    std::vector<std::uint8_t> code;
    std::uint64_t codeStart = address; // address of code[0]
    std::uint64_t at = address;
    while (at < codeEnd) {
        // Keep at least one whole instruction ahead in the buffer.
        if (at + kLongestInstruction > codeStart + code.size()) {
            codeStart = at;
            code.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, codeEnd - at)));
            code.resize(ReadMemory(at, code));
            if (code.empty()) {
                break;
            }
        }
        const std::span<const std::uint8_t> rest =
            std::span<const std::uint8_t>(code).subspan(static_cast<std::size_t>(at - codeStart));
        const TInstructionShape shape = disasm.Shape(rest);
        at += shape.Length;
        if (shape.IsReturn) {
            return static_cast<std::size_t>(at - address);
        }
    }
    return 1;
}

} // namespace faulttrap
