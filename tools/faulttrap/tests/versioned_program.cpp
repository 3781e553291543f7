// A program carrying FaultTrap whose options come from the readable options file embedded into
// it; the log folder is its first argument. It fails in FailAtTheDeepEnd (the line marked below),
// hands the exception to FaultTrap and ends normally.
#include <faulttrap/faulttrap.h>

#include <iostream>
#include <stdexcept>
#include <string>

namespace {

__attribute__((noinline)) void FailAtTheDeepEnd(int depth) {
    if (depth == 0) {
        throw std::out_of_range("the shelf is empty"); // FAILS HERE
    }
    FailAtTheDeepEnd(depth - 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !faulttrap::IsActive()) {
        std::cerr << "usage: versioned_program LOGFOLDER (with FaultTrap's data embedded)\n";
        return 2;
    }
    std::string error;
    if (!faulttrap::SetOption("LogFolder", argv[1], &error)) {
        std::cerr << error << '\n';
        return 1;
    }
    try {
        FailAtTheDeepEnd(3);
    } catch (...) {
        faulttrap::ReportException(std::current_exception());
    }
    std::cout << faulttrap::LogFileName() << '\n';
    return 0;
}
