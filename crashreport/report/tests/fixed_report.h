#pragma once

// The parts of a report with fixed values, as the golden file fixed_report.txt shows them (in
// the zone UTC-3).

#include "crashreport/report/bug_report.h"
#include "crashreport/report/system_facts.h"

#include <chrono>

namespace faulttrap::testing {

inline ReportClock::time_point Utc(int year, unsigned month, unsigned day, int hour, int minute,
                                   int second) {
    using namespace std::chrono;
    return sys_days(std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day)) +
           hours(hour) + minutes(minute) + seconds(second);
}

inline ReportStackEntry FixedEntry(std::uintptr_t address, std::string module, std::string unit,
                                   std::string className, std::string procedure, int line,
                                   int offset, std::uint64_t thread) {
    ReportStackEntry entry;
    entry.kind = line != 0 ? ReportStackEntry::Line
                           : (procedure.empty() ? ReportStackEntry::ModuleOnly
                                                : ReportStackEntry::Procedure);
    entry.address = address;
    entry.moduleName = std::move(module);
    entry.unitName = std::move(unit);
    entry.className = std::move(className);
    entry.procedureName = std::move(procedure);
    entry.line = line;
    entry.lineOffset = offset;
    entry.threadId = thread;
    return entry;
}

inline ReportParts FixedParts() {
    ReportParts parts;
    GeneralFacts& general = parts.general;
    general.startTime = Utc(2026, 12, 8, 17, 0, 0);
    general.mainModule = {"cadastro", "Cadastro", "1.2.0.7"};
    general.parameters = {"-x", "a b"};
    general.compilationTime = Utc(2026, 12, 1, 12, 0, 0);
    general.exceptionTime = Utc(2026, 12, 8, 17, 5, 9);
    general.exceptionAddress = 0x401A2B;
    general.exceptionModule = general.mainModule;
    general.exceptionClass = "std::runtime_error";
    general.exceptionMessage = "Cannot open.";
    general.bugId = "31C3";
    general.activeControls = {"FormMedicos", "Cadastro", "QLineEdit", "***"};
    SystemFacts& system = general.system;
    system.userId = "joe";
    system.privileges = CapabilityLines(0x21, 0x01);
    system.computerName = "pc01";
    system.totalMemory = 8ull << 30;
    system.freeMemory = (3ull << 30) + (1u << 19);
    system.totalDisk = 100ull << 30;
    system.freeDisk = (5ull << 30) / 4;
    system.systemUpTime = std::chrono::seconds(86401);
    system.processor = "Intel(R) Xeon(R) CPU";
    system.osType = "Debian GNU/Linux 12 (bookworm)";
    system.osBuild = "6.1.0-18-amd64";
    system.osUpdate = "#1 SMP";
    system.language = "pt_BR";
    system.charset = "0";
    system.adapters = {
        {"192.168.000.010", "255.255.255.000", "192.168.000.001", "008.008.008.008",
         "000.000.000.000", true},
        {"010.000.000.005", "255.000.000.000", "000.000.000.000", "008.008.008.008",
         "000.000.000.000", false},
    };

    parts.stack = {
        FixedEntry(0x401A2B, "cadastro", "main.cpp", "", "Open", 120, 3, 100),
        FixedEntry(0x401B00, "cadastro", "main.cpp", "", "main", 40, 2, 100),
        FixedEntry(0x7F0000001234, "libc.so.6", "", "", "__libc_start_main", 0, 0, 100),
        FixedEntry(0x7F0000002000, "libc.so.6", "", "", "", 0, 0, 100),
        FixedEntry(0x402000, "cadastro", "worker.cpp", "Worker", "Run", 15, 1, 101),
        FixedEntry(0x401C00, "cadastro", "main.cpp", "", "StartWorker", 60, 4, 101),
    };
    parts.stack[0].exceptionAddress = true;
    parts.stack[5].ownStack = false;
    parts.threads = {{100, "Normal", "", true}, {101, "", "WorkerThread", false}};

    parts.modules = {
        {0x400000, "/opt/olvendra/cadastro", "Cadastro", "1.2.0.7", 123456,
         Utc(2026, 12, 1, 12, 0, 0)},
        {0x7F0000000000, "/lib/x86_64-linux-gnu/libc.so.6", "", "", 1922136, std::nullopt},
        {0x7F0000100000, "/ld.so", "", "", 1000, std::nullopt},
    };
    parts.processes = {{1, "systemd", "", "", 12582912, "Normal", 1, "/usr/lib/systemd"},
                       {4242, "cadastro", "", "", 0, "", 0, ""}};
    parts.assemblerListing = {"0000000000401A28  mov     rdi, rax",
                              "0000000000401A2B  call    0000000000401000  ; <-- EXCEPTION"};

    std::array<std::uint64_t, 16> registers = {1, 2, 3, 4, 5, 6, 0x7FFC0000, 0x401A2B};
    for (std::uint64_t r = 8; r < 16; ++r) {
        registers[r] = r;
    }
    parts.cpu.registers = registers;
    parts.cpu.stackPointer = 0x7FFC0000;
    for (std::uint64_t word = 0; word < 16; ++word) {
        const std::uint64_t value = 0x1000 + word;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
        parts.cpu.stack.insert(parts.cpu.stack.end(), bytes, bytes + sizeof value);
    }
    parts.cpu.memoryAddress = 0x401A2B;
    for (int byte = 0; byte < 256; ++byte) {
        parts.cpu.memory.push_back(static_cast<std::uint8_t>(byte));
    }
    return parts;
}

} // namespace faulttrap::testing
