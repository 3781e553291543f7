#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

// The functions a shared library exports (its dynamic symbol table), sorted by address:
// the last resort for naming an address in a module without debug information.
class TFaultFunctionsList {
public:
    struct Function {
        std::string name;
        std::uint64_t address = 0; // as the file numbers it
        std::uint64_t size = 0;
    };

    // The size of the function at a file address whose symbol gives none (0 when unknown).
    using Sizer = std::function<std::uint64_t(std::uint64_t fileAddress)>;

    // Reads the file's dynamic symbol table; a file that cannot be read gives an empty list.
    // Functions whose symbol has no size (hand-written assembly) are measured by `sizeUnsized`
    // when one is given.
    static TFaultFunctionsList Read(const std::string& path, const Sizer& sizeUnsized = {});

    // The export with start <= address <= start + size.
    const Function* Find(std::uint64_t fileAddress) const;

    const std::vector<Function>& Functions() const { return functions_; }

private:
    std::vector<Function> functions_;
};

} // namespace faulttrap
