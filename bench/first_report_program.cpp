// A program whose first act is an exception that FaultTrap reports to the log: it prints the
// microseconds from the throw to the moment the report is in the log. FaultTrap runs as in a
// program: linked, its data embedded, the default options except for the log and no dialog.
//
//   first_report_program LOGFILE

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/report/log_file.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {

volatile int depth = 0;

__attribute__((noinline)) void Down(int frames) {
    depth = frames;
    if (frames == 0) {
        throw std::runtime_error("first failure");
    }
    Down(frames - 1);
    depth = depth + 1; // keeps the call a call of its own
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !faulttrap::IsActive()) {
        return 2;
    }
    auto& options = faulttrap::MainModuleOptions();
    options.SetLogFolder(argv[1]);
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    const auto start = std::chrono::steady_clock::now();
    try {
        Down(10);
    } catch (...) {
        faulttrap::ExceptionManager(std::current_exception());
    }
    const auto end = std::chrono::steady_clock::now();
    if (!std::filesystem::exists(argv[1]) ||
        faulttrap::TLogFile(argv[1], faulttrap::LogFileAccess::ReadOnly).Count() != 1) {
        return 3;
    }
    std::printf("%lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(end - start).count()));
    return 0;
}
