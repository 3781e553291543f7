#pragma once

#include "crashreport/debuginfo/inlined_scope.h"
#include "crashreport/debuginfo/source_place.h"

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
// sorted, so that a lookup is a binary search plus a line lookup. libdw is loaded when the
// first source is opened.
//
// Where the DWARF is stored compressed (as the distributions' separate debug files are),
// libdw would inflate the whole debug information on the first lookup; such a module is read
// with our own line-table reader instead, which inflates only its line section, with the
// names from the debug file's symbol table.
class DwarfSource {
public:
    // nullptr when the file has no DWARF line information or libdw cannot be loaded. When
    // the own reader refuses a compressed file (damaged, or a form it does not know) libdw
    // reads it instead, and `problem` receives why.
    static std::unique_ptr<DwarfSource> Open(const std::string& path,
                                             std::string* problem = nullptr);
    ~DwarfSource();
    DwarfSource(const DwarfSource&) = delete;
    DwarfSource& operator=(const DwarfSource&) = delete;

    // fileAddress is the address as the file itself numbers it (run-time address minus
    // the module's load bias). Nothing is found outside the functions and lines it knows.
    std::optional<SourcePlace> Find(std::uint64_t fileAddress) const;
    // The chain of inlined calls at the address, innermost first; empty outside inlined code.
    std::vector<InlinedScope> InlinedScopesAt(std::uint64_t fileAddress) const;

private:
    struct Function {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
        std::string symbol;
        int rank = 0; // global names before weak ones before local ones
    };

    struct OwnLines;

    DwarfSource();
    static std::unique_ptr<DwarfSource> OpenCompressed(const std::string& path);
    void ReadFunctions();
    void SortFunctions();
    std::optional<std::uint32_t> LineAt(std::uint64_t fileAddress, std::string* file) const;

    const DwarfLibrary* dw_ = nullptr;
    std::unique_ptr<OwnLines> ownLines_; // instead of libdw's session
    Dwfl* session_ = nullptr;
    Dwfl_Module* module_ = nullptr;
    std::vector<Function> functions_; // sorted by begin
};

} // namespace faulttrap
