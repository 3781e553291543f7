// A program whose report shows an assembler listing worth checking: a small function passes a
// string literal to a call and then writes through a null pointer. With a password, a handler
// gives it for the program's encrypted debug information.
//
//   listing_crash <log folder> [password]

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/events.h"

#include <cstdio>
#include <string>

namespace {

const char* volatile lastStep = nullptr;
int* volatile nowhere = nullptr;

} // namespace

__attribute__((noinline)) void NoteStep(const char* step) {
    lastStep = step;
}

__attribute__((noinline)) void StoreThroughNull() {
    NoteStep("before the store");
    *nowhere = 42; // FAULT: StoreThroughNull
    NoteStep("after the store");
}

int main(int argc, char** argv) {
    if (argc < 2 || !faulttrap::IsActive()) {
        std::fprintf(stderr, "usage: listing_crash <log folder> [password]\n");
        return 2;
    }
    faulttrap::TFaultModuleOptionsEx& options = faulttrap::MainModuleOptions();
    options.SetLogFolder(argv[1]);
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    const std::string password = argc > 2 ? argv[2] : "";
    faulttrap::TFaultTrap handlers;
    handlers.PasswordRequest = [&](faulttrap::TFaultExceptionRecord*, std::string& answer) {
        answer = password;
    };
    StoreThroughNull();
    return 0;
}
