#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace faulttrap {

// One loaded module of the process (the program, a shared library, the vDSO).
struct TFaultModuleInfo {
    struct Segment {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        bool executable = false;
    };

    std::string path;        // the file; for the program itself its /proc/self/exe target
    std::uintptr_t base = 0; // load bias: file addresses plus base are run-time addresses
    std::vector<Segment> segments;
    bool isMainProgram = false;
    bool hasFile = false; // the vDSO has none
    std::uint64_t fileSize = 0;
    std::time_t modified = 0;

    // The module's code start, from which the container's offsets count.
    std::uintptr_t CodeStart() const { return base; }
    bool Contains(std::uintptr_t address) const;
    bool ContainsCode(std::uintptr_t address) const;
};

// A snapshot of the process's modules, taken with dl_iterate_phdr.
class TFaultModulesList {
public:
    static TFaultModulesList Current();

    const TFaultModuleInfo* Find(std::uintptr_t address) const;
    // Whether the address lies in an executable segment of some module.
    bool IsCode(std::uintptr_t address) const;

    const std::vector<std::unique_ptr<TFaultModuleInfo>>& Modules() const { return modules_; }

private:
    std::vector<std::unique_ptr<TFaultModuleInfo>> modules_;
};

} // namespace faulttrap
