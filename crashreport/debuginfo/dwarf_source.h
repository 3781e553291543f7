#pragma once

#include "debuginfo/inlined_scope.h"
#include "debuginfo/source_place.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Dwfl;
struct Dwfl_Module;

namespace faulttrap {

struct DwarfLibrary;

// The outside debug source of a module without our container: its DWARF, read with libdw
// (separate debug files found the standard way). The function symbols are read once and
// sorted, so that a lookup is a binary search plus libdw's line lookup. libdw is loaded
// when the first source is opened.
class DwarfSource {
public:
    // nullptr when the file has no DWARF line information or libdw cannot be loaded.
    static std::unique_ptr<DwarfSource> open(const std::string& path);
    ~DwarfSource();
    DwarfSource(const DwarfSource&) = delete;
    DwarfSource& operator=(const DwarfSource&) = delete;

    // fileAddress is the address as the file itself numbers it (run-time address minus
    // the module's load bias). Nothing is found outside the functions and lines it knows.
    std::optional<SourcePlace> find(std::uint64_t fileAddress) const;
    // The chain of inlined calls at the address, innermost first; empty outside inlined code.
    std::vector<InlinedScope> inlinedScopesAt(std::uint64_t fileAddress) const;

private:
    struct Function {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
        std::string symbol;
        int rank = 0; // global names before weak ones before local ones
    };

    explicit DwarfSource(const DwarfLibrary& dw) : dw_(dw) {}
    void readFunctions();
    std::optional<std::uint32_t> lineAt(std::uint64_t fileAddress, std::string* file) const;

    const DwarfLibrary& dw_;
    Dwfl* session_ = nullptr;
    Dwfl_Module* module_ = nullptr;
    std::vector<Function> functions_; // sorted by begin
};

} // namespace faulttrap
