#include "crashreport/disasm/tests/crash_sample.h"

namespace {
const char* volatile gLastLog = nullptr;
}

extern "C" {

__attribute__((noinline)) void SampleLog(const char* text) {
    gLastLog = text;
}

__attribute__((noinline)) int SampleCrash(int* target) {
    SampleLog("sample literal");
    *target = 42;
    SampleLog("after the store");
    return 7;
}
const int kSampleFaultLine = 15;

} // extern "C"
