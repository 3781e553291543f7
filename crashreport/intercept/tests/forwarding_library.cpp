// A library that carries FaultTrap. Loaded by a program that carries it too, it hands its
// exceptions to the program and receives the events of the exceptions that lie in its code;
// loaded by any other program, it processes them itself.

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/events.h"
#include "crashreport/intercept/library_forwarding.h"

#include <cstdio>
#include <stdexcept>
#include <string>

#define LIBRARY_ENTRY extern "C" __attribute__((visibility("default")))

namespace {

faulttrap::TFaultTrap& LibraryHandlers() {
    static faulttrap::TFaultTrap handlers;
    if (!handlers.ExceptionNotify) {
        handlers.ExceptionNotify = [](faulttrap::TFaultExceptionRecord& record, bool&) {
            std::printf("library notified: %s\n", record.ExceptionMessage.c_str());
            std::fflush(stdout);
        };
        handlers.CustomDataRequest = [](faulttrap::TFaultExceptionRecord&,
                                        faulttrap::CustomDataList& data) {
            data.emplace_back("Reported by", "the library");
        };
#ifdef LIBRARY_PASSWORD
        // The password of the library's encrypted debug information, which only it knows.
        handlers.PasswordRequest = [](faulttrap::TFaultExceptionRecord*, std::string& password) {
            password = LIBRARY_PASSWORD;
        };
#endif
    }
    return handlers;
}

__attribute__((noinline)) void FailInLibrary() {
    throw std::runtime_error("failed in the library"); // FAULT: FailInLibrary
}

} // namespace

LIBRARY_ENTRY bool LibraryForwards() {
    return faulttrap::ForwardingTarget() != nullptr;
}

// Where the reports of the library's exceptions go: its options are in force for them, whether
// it processes them itself or forwards them to the program.
LIBRARY_ENTRY void LibraryLogsTo(const char* folder) {
    faulttrap::TFaultModuleOptionsEx& options = faulttrap::MainModuleOptions();
    options.SetLogFolder(folder);
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
}

LIBRARY_ENTRY void LibraryReportsHandled() {
    LibraryHandlers();
    try {
        FailInLibrary();
    } catch (...) {
        faulttrap::ExceptionManager(std::current_exception());
    }
}

LIBRARY_ENTRY void LibraryThrows() {
    LibraryHandlers();
    FailInLibrary();
}
