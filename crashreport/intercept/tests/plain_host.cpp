// A program without FaultTrap that loads a library carrying it.
//
//   plain_host <log folder> <library>

#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: plain_host <log folder> <library>\n");
        return 2;
    }
    void* library = ::dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", ::dlerror());
        return 2;
    }
    const auto forwards = reinterpret_cast<bool (*)()>(::dlsym(library, "LibraryForwards"));
    const auto logsTo = reinterpret_cast<void (*)(const char*)>(::dlsym(library, "LibraryLogsTo"));
    const auto reports = reinterpret_cast<void (*)()>(::dlsym(library, "LibraryReportsHandled"));
    std::printf("library forwards: %d\n", forwards() ? 1 : 0);
    logsTo(argv[1]);
    reports();
    std::printf("program goes on\n");
    return 0;
}
