// A program built with -O2 whose fault lies three inlined calls deep in a function that a
// std::function calls, so that its true call stack holds inlined calls at the fault and
// at a return address.
//
//   inlined_calls_crash <log folder>

#include "crashreport/intercept/activation.h"

#include <cstdio>
#include <functional>

namespace {

int* volatile nowhere = nullptr;
int volatile stored = 0;

[[gnu::always_inline]] inline void StoreValue(int value) {
    *nowhere = value; // FAULT: StoreValue
}

[[gnu::always_inline]] inline void Level2(int value) {
    StoreValue(value + 1); // FAULT: Level2
    stored = value;
}

[[gnu::always_inline]] inline void Level1(int value) {
    Level2(value * 2); // FAULT: Level1
    stored = value;
}

} // namespace

[[gnu::noinline]] void Outer(int value) {
    Level1(value); // FAULT: Outer
    stored = value;
}

int main(int argc, char** argv) {
    if (argc < 2 || !faulttrap::IsActive()) {
        std::fprintf(stderr, "usage: inlined_calls_crash <log folder>\n");
        return 2;
    }
    faulttrap::TFaultModuleOptionsEx& options = faulttrap::MainModuleOptions();
    options.SetLogFolder(argv[1]);
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    const std::function<void(int)> call = Outer;
    call(argc); // FAULT: main
    return stored;
}
