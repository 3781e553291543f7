// A program that carries FaultTrap and loads a library that carries it too.
//
//   forwarding_host <log folder> <library> handled|unhandled [library's log folder]

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/events.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4 || !faulttrap::IsActive()) {
        std::fprintf(stderr, "usage: forwarding_host <log folder> <library> handled|unhandled\n");
        return 2;
    }
    faulttrap::TFaultModuleOptionsEx& options = faulttrap::MainModuleOptions();
    options.SetLogFolder(argv[1]);
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    faulttrap::TFaultTrap handlers;
    handlers.ExceptionNotify = [](faulttrap::TFaultExceptionRecord&, bool&) {
        std::printf("program notified\n");
        std::fflush(stdout);
    };

    void* library = ::dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", ::dlerror());
        return 2;
    }
    const auto forwards = reinterpret_cast<bool (*)()>(::dlsym(library, "LibraryForwards"));
    std::printf("library forwards: %d\n", forwards() ? 1 : 0);
    if (argc > 4) {
        reinterpret_cast<void (*)(const char*)>(::dlsym(library, "LibraryLogsTo"))(argv[4]);
    }
    const std::string mode = argv[3];
    const auto entry = reinterpret_cast<void (*)()>(
        ::dlsym(library, mode == "handled" ? "LibraryReportsHandled" : "LibraryThrows"));
    entry();
    std::printf("program goes on\n");
    return 0;
}
