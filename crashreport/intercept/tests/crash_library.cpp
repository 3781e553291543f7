// Libraries that the crash test program opens with dlopen: one whose exported function faults,
// one whose static initialiser faults while the dynamic loader runs it.

#include <cstdlib>

namespace {

volatile int* volatile nowhere = nullptr;

#ifdef CRASH_IN_INITIALISER
__attribute__((noinline)) int FaultWhileLoaded() {
    *nowhere = 2; // FAULT: FaultWhileLoaded
    return 0;
}

const int initialised = FaultWhileLoaded();
#endif

} // namespace

extern "C" __attribute__((visibility("default"), noinline)) void CrashInLibrary() {
    *nowhere = 3; // FAULT: CrashInLibrary
}
