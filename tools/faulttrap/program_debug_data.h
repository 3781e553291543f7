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

// What the build tool takes from a program's debug information.
struct ProgramDebugData {
    std::vector<SourceLineSpan> lines;
    std::vector<FunctionSpan> functions;
};

} // namespace faulttrap
