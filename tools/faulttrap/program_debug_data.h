#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

// A stretch of code that one source line produced; addresses are the program's own
// (link-time) virtual addresses.
struct SourceLineSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::string file; // without folder
    std::uint32_t line = 0;
};

// A stretch of code of one out-of-line function.
struct FunctionSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::string qualifier; // enclosing namespaces and classes, "::"-separated
    std::string name;
};

// A stretch of code of a function at one depth of inlining: depth 0 is an out-of-line
// function that holds inlined code, depth N a call inlined N calls deep into it, with the
// place of that call in the function one depth up.
struct InlinedCallSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint32_t depth = 0;
    std::string qualifier;
    std::string name;
    std::uint32_t firstLine = 0; // the function's declaration line
    std::string declarationFile; // without folder; empty when unknown
    std::string callFile;        // without folder; depth above 0 only
    std::uint32_t callLine = 0;
};

// What the build tool takes from a program's debug information.
struct ProgramDebugData {
    std::vector<SourceLineSpan> lines;
    std::vector<FunctionSpan> functions;
    std::vector<InlinedCallSpan> inlinedCalls;
};

} // namespace faulttrap
