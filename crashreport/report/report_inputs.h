#pragma once

// What a bug report is made of, as plain values: the resolved call stack, the threads, modules
// and processes, the processor state and the options the report reads. Whoever collects them
// (stack scan, module list, options object) fills these.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

using ReportClock = std::chrono::system_clock;

// One resolved call-stack entry.
struct ReportStackEntry {
    enum Kind : int { Unknown = 0, ModuleOnly = 1, Procedure = 2, UnitNoLine = 3, Line = 4 };
    int kind = Unknown;
    std::uintptr_t address = 0;
    std::string moduleName; // file name without folder
    std::string unitName;
    std::string className;
    std::string procedureName;
    int line = 0;
    int lineOffset = 0;
    std::uint64_t threadId = 0;
    bool ownStack = true;          // false: recorded where the thread was created
    bool exceptionAddress = false; // the entry of the exception address itself
    bool leak = false;             // describes a memory leak instead of a thread
    std::string leakType;          // leak entries: type name ("Data" for raw data)
    std::uint64_t leakSize = 0;
    std::uint64_t leakCount = 0;
};

// A thread whose entries the call stack holds.
struct ReportThread {
    std::uint64_t id = 0;
    std::string priority;  // its priority class ("Normal" ...); empty when it could not be read
    std::string className; // of its runtime thread object; empty for a plain thread
    bool isMain = false;
};

struct ReportModule {
    std::uintptr_t handle = 0; // load address
    std::string path;          // full file name
    std::string description;
    std::string version; // "major.minor.release.build", empty when unknown
    std::uint64_t size = 0;
    std::optional<ReportClock::time_point> modified;
};

struct ReportProcess {
    std::uint64_t id = 0;
    std::string name;
    std::string description;
    std::string version;
    std::uint64_t memory = 0;
    std::string priority; // "Low" ... "Real-Time", or empty
    int threads = 0;
    std::string folder;
};

// The saved processor state of the exception with the memory it points at.
struct ReportCpuState {
    // rax, rbx, rcx, rdx, rsi, rdi, rsp, rip, r8 ... r15
    std::optional<std::array<std::uint64_t, 16>> registers;
    std::uintptr_t stackPointer = 0;
    std::vector<std::uint8_t> stack;  // from the stack pointer; 128 bytes when readable
    std::uintptr_t memoryAddress = 0; // the exception address
    std::vector<std::uint8_t> memory; // from the exception address; 256 bytes when readable
};

// The option values the report and the log file read.
struct ReportSettings {
    static constexpr std::uint64_t kAllFields = 0xFFFFFFFFFFFFull;
    std::uint64_t reportFields = kAllFields; // 48 bits
    std::uint8_t stackOptions = 0x0F;
    bool collectModulesAndProcesses = true;
    bool collectAssemblerAndCPU = true;
    bool noDuplicateErrors = false;
    bool newLogOnVersionChange = false;
    bool computerNameInLogName = false;
    bool sendEntireLog = false;
    int maxLogEntries = 32;
    std::string logFolder;
    std::string moduleFileName;

    bool Shows(int bit) const { return ((reportFields >> bit) & 1u) != 0; }
};

} // namespace faulttrap
