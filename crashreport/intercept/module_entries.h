#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace faulttrap {

// The functions a loaded module defines and exports itself, where they are in this process:
// read from the module file's dynamic symbol table and placed by the module's load address
// (dl_iterate_phdr). Unlike dlopen, dlsym and dladdr this takes no lock of the dynamic loader,
// which a thread faulting inside the loader (in a library's initialiser) holds for good, so it
// may serve a report after any fault.
class TModuleEntries {
public:
    // None when `modulePath` is no loaded module or its file cannot be read.
    explicit TModuleEntries(const std::string& modulePath);

    // The module's own definition of the exported function; nullptr when it has none.
    void* Find(std::string_view name) const;

private:
    std::uintptr_t loadBias_ = 0;
    std::vector<std::pair<std::string, std::uint64_t>> functions_; // name, file address
};

} // namespace faulttrap
