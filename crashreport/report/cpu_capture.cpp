#include "crashreport/report/cpu_capture.h"

#include <sys/uio.h>
#include <unistd.h>

namespace faulttrap {

std::vector<std::uint8_t> ReadOwnMemory(std::uintptr_t address, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    // The kernel copies for us and reports an unmapped page as an error instead of a signal.
    iovec local{bytes.data(), size};
    iovec remote{reinterpret_cast<void*>(address), size};
    const ssize_t copied = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    if (copied != static_cast<ssize_t>(size)) {
        bytes.clear();
    }
    return bytes;
}

ReportCpuState CaptureCpuState(const ucontext_t& context, std::uintptr_t exceptionAddress) {
    ReportCpuState cpu;
#if defined(__x86_64__)
    const greg_t* registers = context.uc_mcontext.gregs;
    const int order[] = {REG_RAX, REG_RBX, REG_RCX, REG_RDX, REG_RSI, REG_RDI, REG_RSP, REG_RIP,
                         REG_R8,  REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
    std::array<std::uint64_t, 16> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<std::uint64_t>(registers[order[i]]);
    }
    cpu.registers = values;
    cpu.stackPointer = static_cast<std::uintptr_t>(registers[REG_RSP]);
#else
    (void)context;
#endif
    cpu.stack = ReadOwnMemory(cpu.stackPointer, 16 * sizeof(std::uintptr_t));
    cpu.memoryAddress = exceptionAddress;
    cpu.memory = ReadOwnMemory(exceptionAddress, 256);
    return cpu;
}

} // namespace faulttrap
