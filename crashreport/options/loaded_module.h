#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace faulttrap {

// A module of the process: the program or a shared library.
struct TLoadedModule {
    std::string Path; // canonical file name
    // Where the module's first byte (its ELF header) is mapped; the module's handle.
    std::uintptr_t Handle = 0;
};

// The module whose code runs FaultTrap: the program when the library is linked into it, else the
// shared library that carries it.
const TLoadedModule& SubsystemModule();

// Where the program's file (the first module of the process) is mapped: its handle.
std::uintptr_t ProgramHandle();

// The module whose mapped segments hold `address`; none outside every module. Unlike dladdr it
// does not take the dynamic loader's lock, which a thread faulting inside the loader holds.
std::optional<TLoadedModule> ModuleAt(std::uintptr_t address);

// Whether `fileName` names the file of the module that runs FaultTrap.
bool NamesSubsystemModule(const std::string& fileName);

} // namespace faulttrap
